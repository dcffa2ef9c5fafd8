#pragma once
// The file an export writes: the bytes go to a temporary file beside the chosen one, which
// replaces it only when everything was written. A failure (no rights, full disk) leaves
// any older file of that name as it was and raises EFileError with a Czech message.

#include <QByteArray>
#include <QSaveFile>
#include <QString>

class TExportFile
{
public:
    // Creates the temporary file; raises EFileError when it cannot be created.
    explicit TExportFile(const QString &fileName);
    // Without Commit the temporary file is removed and the chosen file left alone.
    ~TExportFile();

    TExportFile(const TExportFile &) = delete;
    TExportFile &operator=(const TExportFile &) = delete;

    // The writers append a record's bytes here and then call Written, which passes them
    // to the disk in large blocks.
    QByteArray &Buffer() { return m_pending; }
    void Written()
    {
        if (m_pending.size() >= BlockSize)
            flush();
    }
    void Write(const QByteArray &bytes)
    {
        m_pending.append(bytes.constData(), bytes.size());
        Written();
    }
    // Writes what is pending and puts the file in place of the chosen one.
    void Commit();

private:
    // Bytes collected before one write call: large enough that a million records cost
    // few system calls, small enough to stay out of the way.
    static constexpr qsizetype BlockSize = 1 << 20;

    void flush();
    [[noreturn]] void failWrite();

    QSaveFile m_file;
    QByteArray m_pending;
};

#pragma once
// A random-access device over a whole file mapped into memory. The backup reads its
// archives through it and the ADIF import scans files byte by byte over memory().
// Its size is the file's size when it was opened, and it never grows: a write that
// would reach past the end writes nothing.

#include <QFile>
#include <QIODevice>

class TFileMappingStream : public QIODevice
{
    Q_OBJECT
public:
    // Opens FileName with Mode (QIODevice::ReadOnly or ReadWrite) and maps it whole:
    // read-only, read-write, or privately (copy-on-write) when Mode is ReadWrite and
    // CopyOnWrite is set, so that writes stay in memory and never reach the file.
    // Raises EFileError when the file cannot be opened or mapped. An empty file gives
    // an empty stream with memory() null.
    TFileMappingStream(const QString &fileName, bool copyOnWrite, QIODevice::OpenMode mode);
    ~TFileMappingStream() override;

    // Unmaps the view and closes the file; memory() becomes null and size() 0.
    void close() override;

    const uchar *memory() const { return m_memory; }
    uchar *memory() { return m_memory; }
    qint64 size() const override { return m_size; }
    bool isSequential() const override { return false; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    // Writes all of maxSize bytes at the position, or nothing (0) when they do not fit.
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    QFile m_file;
    uchar *m_memory = nullptr;
    qint64 m_size = 0;
};

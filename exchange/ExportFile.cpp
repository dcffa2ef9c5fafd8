#include "ExportFile.h"

#include "FileError.h"

#include <QDir>

namespace
{

// Bytes collected before one write call: large enough that a million records cost
// few system calls, small enough to stay out of the way.
constexpr qsizetype BlockSize = 1 << 20;

} // namespace

TExportFile::TExportFile(const QString &fileName) : m_file(fileName)
{
    if (!m_file.open(QIODevice::WriteOnly))
        throw EFileError(
            QStringLiteral("Soubor \"%1\" nelze vytvořit!").arg(QDir::toNativeSeparators(fileName)));
    m_pending.reserve(BlockSize + 4096);
}

TExportFile::~TExportFile()
{
    if (m_file.isOpen())
        m_file.cancelWriting();
}

void TExportFile::Write(const QByteArray &bytes)
{
    m_pending += bytes;
    if (m_pending.size() >= BlockSize)
        flush();
}

void TExportFile::Commit()
{
    flush();
    if (!m_file.commit())
        failWrite();
}

void TExportFile::flush()
{
    if (m_pending.isEmpty())
        return;
    if (m_file.write(m_pending) != m_pending.size())
        failWrite();
    m_pending.clear();
}

void TExportFile::failWrite()
{
    const QString name = m_file.fileName();
    if (m_file.isOpen())
        m_file.cancelWriting();
    throw EFileError(
        QStringLiteral("Do souboru \"%1\" nelze zapisovat!").arg(QDir::toNativeSeparators(name)));
}

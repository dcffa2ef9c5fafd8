#include "export/ExportFile.h"

#include "base/FileError.h"

#include <QDir>

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
    m_pending.resize(0); // keeps the block's memory for the next one
}

void TExportFile::failWrite()
{
    const QString name = m_file.fileName();
    if (m_file.isOpen())
        m_file.cancelWriting();
    throw EFileError(
        QStringLiteral("Do souboru \"%1\" nelze zapisovat!").arg(QDir::toNativeSeparators(name)));
}

#include "base/FileMappingStream.h"

#include "base/FileError.h"
#include "base/MessageTexts.h"

#include <QDir>

#include <cstring>

TFileMappingStream::TFileMappingStream(const QString &fileName, bool copyOnWrite, QIODevice::OpenMode mode)
    : m_file(fileName)
{
    const bool writable = (mode & QIODevice::WriteOnly) != 0;
    const QIODevice::OpenMode access = writable ? QIODevice::ReadWrite : QIODevice::ReadOnly;
    if (!m_file.open(access))
        throw EFileError(MsgFileCannotOpen(fileName));

    m_size = m_file.size();
    // A view of zero bytes cannot be mapped; an empty file is simply an empty stream.
    if (m_size > 0) {
        const auto option = writable && copyOnWrite ? QFileDevice::MapPrivateOption : QFileDevice::NoOptions;
        m_memory = m_file.map(0, m_size, option);
        if (!m_memory) {
            m_file.close();
            m_size = 0;
            throw EFileError(QStringLiteral("Cant map view of file"));
        }
    }
    QIODevice::open(access | QIODevice::Unbuffered);
}

TFileMappingStream::~TFileMappingStream()
{
    close();
}

void TFileMappingStream::close()
{
    if (isOpen())
        QIODevice::close();
    if (m_memory)
        m_file.unmap(m_memory);
    m_memory = nullptr;
    m_size = 0;
    m_file.close();
}

qint64 TFileMappingStream::readData(char *data, qint64 maxSize)
{
    const qint64 position = pos();
    if (position >= m_size)
        return 0;
    const qint64 count = qMin(maxSize, m_size - position);
    std::memcpy(data, m_memory + position, static_cast<size_t>(count));
    return count;
}

qint64 TFileMappingStream::writeData(const char *data, qint64 maxSize)
{
    const qint64 position = pos();
    if (maxSize <= 0 || position > m_size || maxSize > m_size - position)
        return 0;
    std::memcpy(m_memory + position, data, static_cast<size_t>(maxSize));
    return maxSize;
}

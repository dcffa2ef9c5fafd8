#include "FileUtils.h"

#include "FileError.h"
#include "MessageTexts.h"

#include <QDir>
#include <QFile>

qint64 GetFileSizeByName(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(
            MsgFileCannotOpen(fileName));
    return file.size();
}

void DeleteFilesByMask(const QString &dir, const QString &mask)
{
    QDir folder(dir);
    // A symbolic link to a file is removed as a link; its target stays.
    const auto names = folder.entryList({mask}, QDir::Files | QDir::Hidden);
    for (const QString &name : names)
        folder.remove(name);
}

#include "base/FileUtils.h"

#include "base/FileError.h"
#include "base/MessageTexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool MakeOwnerOnlyPath(const QString &dir)
{
    const QString path = QDir::cleanPath(QDir(dir).absolutePath());
    if (QFileInfo(path).isDir())
        return true;
    // The parents first, so that each folder made here gets its mode as it appears.
    const QString parent = QFileInfo(path).path();
    if (parent != path && !MakeOwnerOnlyPath(parent))
        return false;
    const QByteArray name = QFile::encodeName(path);
    // chmod after mkdir: the umask only takes bits away, and may take ours too.
    if (::mkdir(name.constData(), 0700) != 0)
        return QFileInfo(path).isDir(); // made by someone else at the same moment
    return ::chmod(name.constData(), 0700) == 0;
}

bool CreateOwnerOnlyFile(const QString &path, int *systemError)
{
    const QByteArray name = QFile::encodeName(path);
    int error = 0;
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = errno;
    } else {
        if (::fchmod(fd, 0600) != 0)
            error = errno; // taken before close() may change it
        ::close(fd);
    }
    if (systemError)
        *systemError = error;
    return error == 0;
}

bool IsWritablePath(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0)
        return false;
    const mode_t writeBits = info.st_uid == ::getuid() ? S_IWUSR : (S_IWUSR | S_IWGRP | S_IWOTH);
    return (info.st_mode & writeBits) != 0 && ::access(name.constData(), W_OK) == 0;
}

bool IsWritableFileAndFolder(const QString &path)
{
    const QFileInfo info(path);
    return IsWritablePath(info.absolutePath()) && (!info.exists() || IsWritablePath(path));
}

bool RemoveGroupOtherAccess(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0 || info.st_uid != ::getuid())
        return false;
    if ((info.st_mode & 077) == 0)
        return true;
    return ::chmod(name.constData(), info.st_mode & 07700) == 0;
}

#include "system/RuntimeFolder.h"

#include "base/FileUtils.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Under the home folder, where no other user may write.
const QString OwnFolderName = QStringLiteral(".velkor-runtime");

} // namespace

bool IsPrivateFolder(const QString &path)
{
    if (path.isEmpty())
        return false;
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

QString OwnRuntimeFolderPath()
{
    return QDir::cleanPath(QDir::homePath() + u'/' + OwnFolderName);
}

QString PrivateRuntimeFolder()
{
    // Always the same folder, whatever the start's environment: a start from the desktop
    // session (with XDG_RUNTIME_DIR) and one from a shell, ssh or cron (without it) must
    // find the same lock and the same endpoints, or two copies run on one log.
    const QString own = OwnRuntimeFolderPath();
    if (!MakeOwnerOnlyPath(own))
        return {};
    // A folder of ours left with a looser mode is tightened; one of someone else's is
    // not used.
    struct stat info {};
    const QByteArray name = QFile::encodeName(own);
    if (::lstat(name.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid())
        ::chmod(name.constData(), 0700);
    return IsPrivateFolder(own) ? own : QString();
}

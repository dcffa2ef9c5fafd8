#include "backup/BackUpSchedule.h"

#include "base/Formats.h"
#include "settings/UserOptions.h"

#include <QFileInfo>

bool IsAutoBackUpDue(const TUserOptions &options, const QDate &today)
{
    if (!options.GetBackUpEnabled())
        return false;
    const QDate last = options.GetBackUpLast();
    switch (options.GetBackUpInterval()) {
    case 0:
        return today.weekNumber() != last.weekNumber();
    case 1:
        return today.month() != last.month();
    default:
        return false;
    }
}

QString AutoBackUpFileName(const TUserOptions &options, const QString &appDir, const QDate &today)
{
    QString folder = options.GetBackUpPath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = appDir + QStringLiteral("Zaloha/");
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + options.Call + u' ' + Formats::dateToStr(today) + QStringLiteral(".z");
}

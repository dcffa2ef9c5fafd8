#pragma once
// When the automatic backup of a log is due and where it goes. The backup runs when
// the log is closed; the operator chooses weekly or monthly.

#include <QDate>
#include <QString>

class TUserOptions;

// Due when the automatic backup is on and today lies in another week (weekly: the ISO
// week number alone, whatever the year) or another month (monthly: the month number
// alone) than the last backup.
bool IsAutoBackUpDue(const TUserOptions &options, const QDate &today);

// <folder><CALL> <today as the short date dd.mm.yyyy>.z, where the folder is the operator's backup folder
// when it exists, else "Zaloha/" in the program folder (not created here).
QString AutoBackUpFileName(const TUserOptions &options, const QString &appDir, const QDate &today);

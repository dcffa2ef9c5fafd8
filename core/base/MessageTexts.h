#pragma once
// The Czech texts that the program shows from more than one place, kept here so that
// every place says the same. Texts with a value are functions that fill it in.

#include <QDir>
#include <QString>

inline const QString MsgConfirmProgramEnd = QStringLiteral("Opravdu chcete ukončit program?");
inline const QString MsgTooManyUsers = QStringLiteral("Maximální počet uživatelů je 10!");
inline const QString MsgLogNotOpen = QStringLiteral("Deník není otevřen!");
inline const QString MsgLocatorRequired = QStringLiteral("Lokátor musí být zadán!");
inline const QString MsgNoSortWhileMarked =
    QStringLiteral("Jsou-li v deníku označena spojení, nelze třídit data.");
inline const QString MsgNoOwnLocatorForDistance =
    QStringLiteral("Chybí vlastní lokátor, nelze vypočítat vzdálenost!");

inline QString MsgInvalidFrequency(const QString &typed)
{
    return QStringLiteral("Neplatná frekvence \"%1\"!").arg(typed);
}

// The path is shown as the system writes it.
inline QString MsgFileCannotOpen(const QString &path)
{
    return QStringLiteral("Soubor \"%1\" nelze otevřít!").arg(QDir::toNativeSeparators(path));
}

inline QString MsgDatabaseCannotOpen(const QString &path)
{
    return QStringLiteral("Databázi \"%1\" nelze otevřít!").arg(path);
}

// What a log that cannot be used as asked is told with; see TDatabaseFailure.
inline QString MsgNotALog(const QString &path)
{
    return QStringLiteral("Soubor \"%1\" není deníkem programu Velkor nebo je poškozen!")
        .arg(QDir::toNativeSeparators(path));
}

inline QString MsgLogInUse(const QString &path)
{
    return QStringLiteral("Deník \"%1\" právě používá jiný program!\nNic nebylo změněno, zkuste to prosím znovu později.")
        .arg(QDir::toNativeSeparators(path));
}

inline QString MsgLogReadOnly(const QString &path)
{
    return QStringLiteral("Deník \"%1\" je určen jen pro čtení!\nZměny nelze uložit.")
        .arg(QDir::toNativeSeparators(path));
}

inline QString MsgLogOpenedReadOnly(const QString &path)
{
    return QStringLiteral("Deník \"%1\" je určen jen pro čtení!\nBude otevřen pouze pro čtení, změny nelze ukládat.")
        .arg(QDir::toNativeSeparators(path));
}

inline QString MsgLogReadOnlyUnfinished(const QString &path)
{
    return QStringLiteral("Deník \"%1\" je určen jen pro čtení a jeho poslední zápis nebyl dokončen!\n"
                          "Deník bude možné otevřít, až do něj půjde opět zapisovat.")
        .arg(QDir::toNativeSeparators(path));
}

inline QString MsgLogDiskFull(const QString &path)
{
    return QStringLiteral("Na disku není dost místa pro zápis do deníku \"%1\"!\nUvolněte místo a zkuste to znovu.")
        .arg(QDir::toNativeSeparators(path));
}

inline QString MsgTempFolderFull(const QString &folder)
{
    return QStringLiteral("V dočasném adresáři \"%1\" není dost místa na disku!")
        .arg(QDir::toNativeSeparators(folder));
}

inline QString MsgTempFolderReadOnly(const QString &folder)
{
    return QStringLiteral("Do dočasného adresáře \"%1\" nelze zapisovat!").arg(QDir::toNativeSeparators(folder));
}

inline QString MsgTempFolderInUse(const QString &folder)
{
    return QStringLiteral("Dočasnou tabulku v adresáři \"%1\" právě používá jiný program!\nZkuste to prosím znovu později.")
        .arg(QDir::toNativeSeparators(folder));
}

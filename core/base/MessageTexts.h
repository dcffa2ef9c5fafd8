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

inline QString MsgDatabaseError(const QString &database, const QString &text)
{
    return QStringLiteral("Chyba databáze \"%1\": %2").arg(database, text);
}

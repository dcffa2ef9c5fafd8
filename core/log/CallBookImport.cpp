#include "log/CallBookImport.h"

#include "radio/CharSet.h"
#include "base/DatabaseError.h"
#include "base/FileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <cstdio>

const QStringList CallBookFields{QStringLiteral("ZNACKA"), QStringLiteral("TITUL"), QStringLiteral("PRIJMENI"),
                                 QStringLiteral("JMENO"),  QStringLiteral("ULICE"), QStringLiteral("MESTO"),
                                 QStringLiteral("PSC"),    QStringLiteral("EMAIL"), QStringLiteral("LOC"),
                                 QStringLiteral("CLASS"),  QStringLiteral("POZN")};

namespace {

// Fills the new table inside the file at `path` in one transaction.
void fillTable(const QString &path, const QStringList &lines, const TProgressEvent &progress)
{
    const QString connection = QStringLiteral("VelkorCallBookImport-") + QUuid::createUuid().toString(QUuid::Id128);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            q.exec(QStringLiteral("PRAGMA journal_mode=OFF")); // the file is new: nothing to protect
            q.exec(QStringLiteral("PRAGMA synchronous=OFF"));
            q.exec(QStringLiteral("DELETE FROM CallBook")); // a template is empty; be sure
            QStringList marks;
            for (int i = 0; i < CallBookFieldCount; ++i)
                marks << QStringLiteral("?");
            db.transaction();
            QSqlQuery insert(db);
            if (!insert.prepare(QStringLiteral("INSERT INTO CallBook (%1) VALUES (%2)")
                                    .arg(CallBookFields.join(u','), marks.join(u',')))) {
                error = insert.lastError().text();
            } else {
                TProgressReporter reporter(progress);
                for (int line = 1; line < lines.size() && error.isEmpty(); ++line) {
                    const QStringList values = SplitCallBookLine(lines[line]);
                    for (int i = 0; i < CallBookFieldCount; ++i)
                        insert.bindValue(i, values[i].isEmpty() ? QVariant(QMetaType(QMetaType::QString))
                                                                : QVariant(values[i]));
                    if (!insert.exec())
                        error = QStringLiteral("řádek %1: %2").arg(line + 1).arg(insert.lastError().text());
                    reporter.ReportStep(line, lines.size() - 1);
                }
                insert.finish();
            }
            if (error.isEmpty() && !db.commit())
                error = db.lastError().text();
            if (!error.isEmpty())
                db.rollback();
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (!error.isEmpty())
        throw EDatabaseError(QStringLiteral("Chyba při importu dat do databáze Call book!\n%1").arg(error));
}

} // namespace

bool CallBookHeaderOK(const QString &line)
{
    return line.compare(QLatin1String(CallBookHeader), Qt::CaseInsensitive) == 0;
}

QStringList SplitCallBookLine(const QString &line)
{
    QStringList values = line.split(u';');
    while (values.size() > CallBookFieldCount)
        values.removeLast();
    while (values.size() < CallBookFieldCount)
        values << QString();
    return values;
}

QStringList ReadCallBookFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("Soubor \"%1\" nelze přečíst!\n%2")
                             .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EFileError(QStringLiteral("Soubor \"%1\" nelze přečíst!\n%2")
                             .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    QString text = Win1250ToUnicode(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    if (text.endsWith(u'\n'))
        text.chop(1);
    if (text.isEmpty())
        return {};
    return text.split(u'\n');
}

void ImportCallBook(const QString &appDir, const QStringList &lines, const TProgressEvent &progress)
{
    const QDir folder(appDir);
    const QString templatePath = folder.filePath(QLatin1String(CallBookTemplateName));
    const QString target = folder.filePath(QLatin1String(CallBookFileName));
    const QString building = CallBookBuildingFile(appDir);
    if (!QFileInfo(templatePath).isFile())
        throw EFileError(QStringLiteral("Chybí prázdná databáze Call book \"%1\"!")
                             .arg(QDir::toNativeSeparators(templatePath)));
    QFile::remove(building);
    if (!QFile::copy(templatePath, building))
        throw EFileError(QStringLiteral("Nelze vytvořit soubor \"%1\"!").arg(QDir::toNativeSeparators(building)));
    QFile::setPermissions(building, QFile::permissions(building) | QFileDevice::WriteOwner);
    try {
        fillTable(building, lines, progress);
    } catch (...) {
        QFile::remove(building);
        throw;
    }
    // rename() replaces the old file in one step: a reader sees the old or the new callbook.
    if (std::rename(QFile::encodeName(building).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(building);
        throw EFileError(QStringLiteral("Soubor \"%1\" nelze přepsat!").arg(QDir::toNativeSeparators(target)));
    }
}

QString CallBookBuildingFile(const QString &appDir)
{
    return QDir(appDir).filePath(QLatin1String(CallBookFileName)) + QStringLiteral(".new");
}

void RemoveCallBookLeftovers(const QString &appDir)
{
    const QString building = CallBookBuildingFile(appDir);
    for (const QString &path : {building, building + QStringLiteral("-journal")})
        if (QFileInfo(path).isFile())
            QFile::remove(path);
}

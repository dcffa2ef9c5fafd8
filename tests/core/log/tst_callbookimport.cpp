#include "log/CallBookImport.h"
#include "radio/CharSet.h"
#include "base/DatabaseError.h"
#include "base/FileError.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The empty template as the build makes it.
void writeTemplate(const QString &path)
{
    QFile::copy(QStringLiteral(VELKOR_STAGE_DIR "/Clbp.db"), path);
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
}

QList<QStringList> tableRows(const QString &path)
{
    QList<QStringList> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("SELECT * FROM CallBook ORDER BY rowid"));
        while (q.next()) {
            QStringList row;
            for (int i = 0; i < CallBookFieldCount; ++i)
                row << q.value(i).toString();
            rows << row;
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return rows;
}

QStringList values(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *t : texts)
        list << QString::fromUtf8(t);
    while (list.size() < CallBookFieldCount)
        list << QString();
    return list;
}

} // namespace

class TestCallBookImport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString dirPath() const { return m_dir.path() + u'/'; }
    QString callBook() const { return dirPath() + QLatin1String(CallBookFileName); }

    void writeText(const QString &name, const QByteArray &bytes)
    {
        QFile file(dirPath() + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private slots:
    void init()
    {
        QFile::remove(callBook());
        QFile::remove(dirPath() + QLatin1String(CallBookTemplateName));
        writeTemplate(dirPath() + QLatin1String(CallBookTemplateName));
    }

    void header_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("ok");
        QTest::newRow("exact") << QString::fromLatin1(CallBookHeader) << true;
        QTest::newRow("lower case") << QString::fromLatin1(CallBookHeader).toLower() << true;
        QTest::newRow("missing field") << "VOL_ZNAK;TITUL" << false;
        QTest::newRow("trailing semicolon") << QString::fromLatin1(CallBookHeader) + u';' << false;
        QTest::newRow("empty") << "" << false;
    }
    void header()
    {
        QFETCH(QString, line);
        QFETCH(bool, ok);
        QCOMPARE(CallBookHeaderOK(line), ok);
    }

    void split_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("13 values keep 11") << "1;2;3;4;5;6;7;8;9;10;11;12;13"
                                           << values({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"});
        QTest::newRow("3 values") << "OK1A;Ing.;Novák" << values({"OK1A", "Ing.", "Novák"});
        QTest::newRow("empty line") << "" << values({});
        QTest::newRow("trailing ; gives an empty last value") << "A;" << values({"A", ""});
        QTest::newRow("quoted ; splits") << "A;\"x;y\"" << values({"A", "\"x", "y\""});
        QTest::newRow("no trimming") << " A ; B" << values({" A ", " B"});
    }
    void split()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, expected);
        QCOMPARE(SplitCallBookLine(line), expected);
    }

    void readDecodesWindows1250()
    {
        writeText(QStringLiteral("cb.csv"), QByteArray(CallBookHeader) + "\r\nOK1A;;" +
                                                UnicodeToWin1250(QStringLiteral("Šťastný")) + "\r\n\r\nOK2B\r\n");
        const QStringList lines = ReadCallBookFile(dirPath() + QStringLiteral("cb.csv"));
        QCOMPARE(lines.size(), 4); // the final line break opens no line; the empty one stays
        QCOMPARE(lines[1], QStringLiteral("OK1A;;Šťastný"));
        QCOMPARE(lines[2], QString());
        QVERIFY_THROWS_EXCEPTION(EFileError, ReadCallBookFile(dirPath() + QStringLiteral("missing.csv")));
    }

    void importReplacesTable()
    {
        const QStringList lines{QString::fromLatin1(CallBookHeader), "OK1A;Ing.;Novák;Jan;Ulice 1;Praha;11000;a@b.cz;"
                                                                      "JO70FC;A;pozn;x;y",
                                "OK2B;;Dvořák", ""};
        QList<int> progress;
        ImportCallBook(dirPath(), lines, [&progress](int p) { progress << p; });
        const QList<QStringList> rows = tableRows(callBook());
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0], values({"OK1A", "Ing.", "Novák", "Jan", "Ulice 1", "Praha", "11000", "a@b.cz", "JO70FC",
                                  "A", "pozn"}));
        QCOMPARE(rows[1], values({"OK2B", "", "Dvořák"}));
        QCOMPARE(rows[2], values({}));
        QCOMPARE(progress.last(), 100);
        QVERIFY(!QFile::exists(callBook() + QStringLiteral(".new")));

        // A second import replaces the whole content.
        ImportCallBook(dirPath(), {QString::fromLatin1(CallBookHeader), "OK3C"});
        QCOMPARE(tableRows(callBook()), (QList<QStringList>{values({"OK3C"})}));
    }

    void failureKeepsOldCallBook()
    {
        ImportCallBook(dirPath(), {QString::fromLatin1(CallBookHeader), "OK1OLD"});
        // A template that is no callbook makes the insert fail after some lines.
        QFile::remove(dirPath() + QLatin1String(CallBookTemplateName));
        writeText(QLatin1String(CallBookTemplateName), "not a database");
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, ImportCallBook(dirPath(), {QString::fromLatin1(CallBookHeader), "OK1NEW"}));
        QCOMPARE(tableRows(callBook()), (QList<QStringList>{values({"OK1OLD"})}));
        QVERIFY(!QFile::exists(callBook() + QStringLiteral(".new")));
        // No template at all.
        QFile::remove(dirPath() + QLatin1String(CallBookTemplateName));
        QVERIFY_THROWS_EXCEPTION(EFileError, ImportCallBook(dirPath(), {QString::fromLatin1(CallBookHeader), "OK1NEW"}));
        QCOMPARE(tableRows(callBook()), (QList<QStringList>{values({"OK1OLD"})}));
    }

    // The import killed half-way: the old callbook is whole, and the half-built file that
    // stayed goes at the next start.
    void killedImportLeavesNothingAfterTheNextStart()
    {
        ImportCallBook(dirPath(), {QString::fromLatin1(CallBookHeader), "OK1OLD"});
        QStringList lines{QString::fromLatin1(CallBookHeader)};
        for (int i = 0; i < 2000; ++i)
            lines << QStringLiteral("OK%1NEW;;Nový").arg(i);
        const pid_t child = ::fork();
        if (child == 0) {
            ImportCallBook(dirPath(), lines, [](int percent) {
                if (percent >= 50)
                    ::raise(SIGKILL);
            });
            ::_exit(0);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        QCOMPARE(CallBookBuildingFile(dirPath()), callBook() + QStringLiteral(".new"));
        QVERIFY(QFile::exists(CallBookBuildingFile(dirPath())));
        QCOMPARE(tableRows(callBook()), (QList<QStringList>{values({"OK1OLD"})}));

        writeText(QLatin1String(CallBookFileName) + QStringLiteral(".new-journal"), "x");
        RemoveCallBookLeftovers(dirPath());
        QVERIFY(!QFile::exists(CallBookBuildingFile(dirPath())));
        QVERIFY(!QFile::exists(CallBookBuildingFile(dirPath()) + QStringLiteral("-journal")));
        QCOMPARE(tableRows(callBook()), (QList<QStringList>{values({"OK1OLD"})}));
        RemoveCallBookLeftovers(dirPath()); // nothing left to remove
        QVERIFY(QFile::exists(callBook()));
    }
};

QTEST_GUILESS_MAIN(TestCallBookImport)
#include "tst_callbookimport.moc"

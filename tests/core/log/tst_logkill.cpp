// A log whose writing is cut short by SIGKILL opens again with everything that was
// reported as saved. The test runs itself a second time as a child (--save-loop) that
// saves QSOs into a log in a loop, now and then with a bulk edit of all of them, and
// writes a line to its standard output after each save has returned; the test kills it
// at a random moment, opens the log as the program does and looks for every QSO the
// child reported.

#include "base/DatabaseError.h"
#include "log/DmLog.h"
#include "base/HotJournal.h"
#include "log/LogTable.h"
#include "log/VkrDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace
{

const QString Call = QStringLiteral("OK1KIL");
constexpr int Kills = 50;

QString noteOf(int run, int n)
{
    return QStringLiteral("r%1-%2").arg(run).arg(n);
}

void acknowledge(const QString &note)
{
    const QByteArray line = note.toLatin1() + '\n';
    // Unbuffered, so that the line is in the pipe as soon as the save has returned.
    if (::write(STDOUT_FILENO, line.constData(), size_t(line.size())) != line.size())
        ::_exit(3);
}

// The child: saves QSOs until it is killed. Every tenth save is followed by a bulk edit
// of every QSO, a transaction long enough to be cut in the middle.
int saveLoop(const QString &appDir, int run)
{
    try {
        TdmLog dm(appDir);
        dm.OpenDatabase(Call);
        LogTable table(TdmLog::DatabaseName);
        QList<qint64> ids;
        QSqlQuery all(QSqlDatabase::database(TdmLog::DatabaseName));
        if (!all.exec(QStringLiteral("SELECT ID FROM log")))
            return 2;
        while (all.next())
            ids << all.value(0).toLongLong();
        for (int n = 0;; ++n) {
            TLogRecord r;
            r[fiDAT] = QDate(2024, 1, 1).addDays(n % 300);
            r[fiUTC] = QTime(0, 0).addSecs(n * 7 % 86400);
            r[fiCALL] = QStringLiteral("OK%1AB").arg(n % 10);
            r[fiFREQ] = 14.025;
            r[fiNOTE] = noteOf(run, n);
            ids << table.Insert(r);
            acknowledge(noteOf(run, n));
            if (n % 10 == 9)
                table.SetFieldValue(ids, fiQTH, QStringLiteral("Q%1").arg(n));
        }
    } catch (const EDatabaseError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 2;
    }
}

QStringList savedNotes(const QString &connection)
{
    QSqlQuery q(QSqlDatabase::database(connection));
    QStringList notes;
    if (q.exec(QStringLiteral("SELECT NOTE FROM log")))
        while (q.next())
            notes << q.value(0).toString();
    return notes;
}

QString integrity(const QString &connection)
{
    QSqlQuery q(QSqlDatabase::database(connection));
    if (!q.exec(QStringLiteral("PRAGMA integrity_check")) || !q.next())
        return QStringLiteral("no answer");
    return q.value(0).toString();
}

} // namespace

class TestLogKill : public QObject
{
    Q_OBJECT

    QTemporaryDir m_app;
    QTemporaryDir m_temp;

private slots:
    void initTestCase()
    {
        QVERIFY(m_app.isValid() && m_temp.isValid());
        QVERIFY(QDir(m_app.path()).mkdir("Data"));
        qputenv("TEMP", m_temp.path().toLocal8Bit());
        CreateLogTable(m_app.filePath("Data/" + Call + ".db"));
    }

    void killedSavesLoseNothing()
    {
        QRandomGenerator rng(20240611);
        QSet<QString> acknowledged;
        int journalsLeft = 0;
        for (int run = 0; run < Kills; ++run) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--save-loop"), m_app.path(), QString::number(run)});
            QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
            // Killed once it has saved something, at a random moment of its loop.
            QVERIFY2(child.waitForReadyRead(10000), child.readAllStandardError().constData());
            QThread::usleep(rng.bounded(30000));
            child.kill();
            QVERIFY(child.waitForFinished(10000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
            for (const QByteArray &line : child.readAllStandardOutput().split('\n'))
                if (!line.isEmpty())
                    acknowledged.insert(QString::fromLatin1(line));

            const QString log = m_app.filePath("Data/" + Call + ".db");
            if (QFileInfo(JournalFileName(log)).size() > 0)
                ++journalsLeft;
            TdmLog dm(m_app.path());
            try {
                dm.OpenDatabase(Call);
            } catch (const EDatabaseError &e) {
                QFAIL(qPrintable(QStringLiteral("kill %1: %2").arg(run).arg(e.message())));
            }
            QCOMPARE(integrity(TdmLog::DatabaseName), QStringLiteral("ok"));
            const QStringList notes = savedNotes(TdmLog::DatabaseName);
            const QSet<QString> saved(notes.cbegin(), notes.cend());
            QCOMPARE(saved.size(), notes.size());
            for (const QString &note : acknowledged)
                QVERIFY2(saved.contains(note), qPrintable(QStringLiteral("kill %1 lost %2").arg(run).arg(note)));
            // Apart from what was acknowledged, at most the save in flight got in.
            QVERIFY(saved.size() <= acknowledged.size() + run + 1);
            // What is left of a journal (SQLite leaves one it never began to fill) no longer
            // keeps a read-only opening out.
            QVERIFY(IsReadableLogTableFile(log));
        }
        qInfo("%d kills, %d of them in the middle of a write, %lld QSOs acknowledged", Kills, journalsLeft,
              qlonglong(acknowledged.size()));
        // The loop is mostly writing; kills that never hit a transaction would test nothing.
        QVERIFY(journalsLeft > 0);
    }
};

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--save-loop") == 0) {
        QCoreApplication app(argc, argv);
        return saveLoop(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    }
    QCoreApplication app(argc, argv);
    TestLogKill test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_logkill.moc"

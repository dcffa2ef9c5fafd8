// Logs that are not what they should be, opened in the main window: damaged pages of the
// file, a call sign that cannot name a file, a file of another program. Every case must
// end in a Czech message or a working window, never in the end of the program. The test
// runs under the program's own application object, so a failure that still escaped an
// event handler would be caught there; the test checks that none did.

#include "MainWindowFixture.h"
#include "ModalRunner.h"

#include "base/FileUtils.h"
#include "base/MessageTexts.h"
#include "FilteredLineEdit.h"
#include "QSOWindow.h"
#include "ScriptedMessages.h"
#include "TestFiles.h"
#include "VelkorApplication.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTest>

#include <memory>

namespace
{

constexpr int PageSize = 4096;
constexpr int QsoCount = 400;

const QStringList Calls{"OK1ABC", "OK1ABC/P", "DL/OK1ABC", "G3XYZ", "OK2DEF", "SP9AAA", "DL1ZZ", "OK1ABC/M"};

bool looksCzech(const QString &text)
{
    static const QRegularExpression czech(QStringLiteral("[ěščřžýáíéůúňťďĚŠČŘŽÝÁÍÉŮÚ]"));
    return text.contains(czech);
}

QString messagesShown()
{
    const MessageHandler *handler = messageHandler();
    const auto *scripted = dynamic_cast<const ScriptedMessages *>(handler);
    return scripted ? scripted->texts().join(" | ") : QString();
}

TVelkorApplication *application()
{
    return static_cast<TVelkorApplication *>(QCoreApplication::instance());
}

} // namespace

class TestDamagedLog : public QObject
{
    Q_OBJECT

    QByteArray m_pristine; // the sound log file that every case damages

    // The main window's fixture with the log file replaced by `content` before opening.
    std::unique_ptr<MainWindowFixture> openWith(const QByteArray &content)
    {
        auto fixture = std::make_unique<MainWindowFixture>(false);
        QsoTestFixture &fx = fixture->fx;
        fx.dm->CloseDatabase();
        if (!WriteTestFile(fx.dm->LogFileName(QsoTestFixture::Call), content))
            return nullptr;
        fixture->start();
        return fixture;
    }

    // Pages through the whole grid, painting each screen, as the operator scrolling
    // through the log does; the strip follows every move.
    static void pageThrough(MainWindowFixture &f)
    {
        TLogGrid *grid = f.w().dbgLog;
        QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
        for (int guard = 0; guard < QsoCount; ++guard) {
            f.w().grab();
            f.w().QSOPanelTexts();
            const int before = f.query().RecNo();
            QTest::keyClick(grid, Qt::Key_PageDown);
            if (f.query().RecNo() == before)
                break;
        }
        QCoreApplication::processEvents();
    }

    // A new QSO with a station that has earlier QSOs all over the file: leaving its
    // call-sign field reads them.
    static void leaveCallSign(MainWindowFixture &f)
    {
        bool opened = false;
        const TModalHook previous = SetModalHook([&opened](QDialog &dialog) {
            auto *window = qobject_cast<TfrmQSO *>(&dialog);
            if (!window)
                return int(mrCancel);
            opened = true;
            window->show();
            window->edtCall->setFocus();
            QTest::keyClicks(window->edtCall, QStringLiteral("OK1ABC"));
            QTest::keyClick(window->edtCall, Qt::Key_Tab);
            window->grab();
            QCoreApplication::processEvents();
            window->ClearForm(); // nothing to save, nothing to ask
            window->reject();
            return int(mrCancel);
        });
        f.w().actNewQSO->trigger();
        // The window opens on a log that is open and can still be read in order; else
        // the operator was told why.
        QVERIFY2(opened || !f.w().qLog->Active() || !messagesShown().isEmpty(), qPrintable(messagesShown()));
        SetModalHook(previous);
        QCoreApplication::processEvents();
    }

    // Showing a QSO whose row cannot be read says so instead of showing an empty QSO.
    static void showUnreadableQso(MainWindowFixture &f)
    {
        LogQuery &q = f.query();
        if (!q.Active())
            return;
        int unreadable = -1;
        for (int row = 0; row < q.RecordCount() && unreadable < 0; ++row) {
            bool ok = true;
            q.ViewRecordAt(row, &ok);
            if (!ok)
                unreadable = row;
        }
        if (unreadable < 0)
            return;
        QVERIFY(q.SetRecNo(unreadable + 1));
        bool shown = false;
        const TModalHook previous = SetModalHook([&shown](QDialog &) {
            shown = true;
            return int(mrCancel);
        });
        f.w().actShowQSO->trigger();
        SetModalHook(previous);
        QVERIFY(!shown);
        QVERIFY(messagesShown().contains("Chyba při čtení deníku"));
    }

private slots:
    void initTestCase()
    {
        QsoTestFixture fx;
        QSqlDatabase db = QSqlDatabase::database(TdmLog::DatabaseName);
        QVERIFY(db.transaction());
        for (int i = 0; i < QsoCount; ++i) {
            const QString call = Calls[i % Calls.size()];
            fx.insert(QsoTestFixture::qso(call, QDate(2006, 1, 1).addDays(i), QTime(10, i % 60), 14.025, 2,
                                          {{"NAME", QStringLiteral("Jméno %1").arg(i)},
                                           {"NOTE", QStringLiteral("Poznámka ke spojení číslo %1").arg(i)},
                                           {"DXCC", "OK"}}));
        }
        QVERIFY(db.commit());
        fx.dm->CloseDatabase();
        m_pristine = ReadTestFile(fx.dm->LogFileName(QsoTestFixture::Call));
        QVERIFY(m_pristine.size() >= 10 * PageSize);
        QCOMPARE(m_pristine.size() % PageSize, 0);
    }

    void init() { QVERIFY(application()->PendingFailures().isEmpty()); }

    // The sound log opens, pages and looks up without a message: the cases below differ
    // from it by their damage alone.
    void soundLogWorks()
    {
        ScriptedMessages messages;
        auto f = openWith(m_pristine);
        QVERIFY(f);
        QCOMPARE(f->query().RecordCount(), QsoCount);
        pageThrough(*f);
        leaveCallSign(*f);
        QVERIFY2(messages.texts().isEmpty(), qPrintable(messages.texts().join(" | ")));
    }

    void damagedPage_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("zeroed");
        const int pages = int(m_pristine.size() / PageSize);
        for (int page = 0; page < pages; ++page) {
            QTest::addRow("page %d zeroed", page + 1) << page << true;
            QTest::addRow("page %d random", page + 1) << page << false;
        }
    }
    void damagedPage()
    {
        QFETCH(int, page);
        QFETCH(bool, zeroed);
        QByteArray content = m_pristine;
        QRandomGenerator random{quint32(page)};
        for (int i = 0; i < PageSize; ++i)
            content[page * PageSize + i] = zeroed ? '\0' : char(random.generate());

        ScriptedMessages messages;
        auto f = openWith(content);
        QVERIFY(f);
        pageThrough(*f);
        leaveCallSign(*f);
        showUnreadableQso(*f);

        // Nothing escaped to the application's guard: every failure was met where it
        // happened.
        QCOMPARE(application()->PendingFailures(), QStringList());
        for (const QString &text : messages.texts())
            QVERIFY2(looksCzech(text), qPrintable(text));
        const bool working = f->w().qLog->Active() && !f->fx.dm->UserOptions.Call.isEmpty();
        QVERIFY2(working || !messages.texts().isEmpty(), "neither a working window nor a message");
        // A damaged part of the log is reported once, not once for every cell shown.
        QVERIFY2(messages.texts().size() <= 3, qPrintable(messages.texts().join(" | ")));
    }

    // A call sign read from a settings file names the log's files: anything but letters
    // and digits is refused before a file is touched.
    void callSignThatCannotNameAFile_data()
    {
        QTest::addColumn<QByteArray>("call");
        QTest::newRow("parent folder") << QByteArray("../x");
        QTest::newRow("absolute path") << QByteArray("/tmp/x");
        QTest::newRow("NUL byte") << QByteArray("OK1\0ABC", 7);
        QTest::newRow("blank") << QByteArray("OK1 ABC");
        QTest::newRow("dot") << QByteArray("OK1.ABC");
    }
    void callSignThatCannotNameAFile()
    {
        QFETCH(QByteArray, call);
        auto fixture = std::make_unique<MainWindowFixture>(false);
        QsoTestFixture &fx = fixture->fx;
        fx.dm->CloseDatabase();
        const QString settings = fx.dm->DataDir + QsoTestFixture::Call + ".uf";
        QByteArray text = ReadTestFile(settings);
        text.replace("Call=OK1XYZ", "Call=" + call);
        QVERIFY(WriteTestFile(settings, text));
        const QStringList before = QDir(fx.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const QStringList dataBefore = QDir(fx.dm->DataDir).entryList(QDir::Files);

        ScriptedMessages messages;
        fixture->start();
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY2(messages.lastText().contains("Neplatný název deníku"), qPrintable(messages.lastText()));
        QVERIFY(fixture->w().Terminated());
        QVERIFY(fx.dm->UserOptions.Call.isEmpty());
        QCOMPARE(QDir(fx.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QCOMPARE(QDir(fx.dm->DataDir).entryList(QDir::Files), dataBefore);
        QVERIFY(!QFile::exists(fx.dir.path() + "/X.db"));
    }

    // A log name that is no file name is refused before its settings file is read.
    void logNameThatCannotNameAFile()
    {
        auto fixture = std::make_unique<MainWindowFixture>();
        ScriptedMessages messages;
        fixture->w().OpenLog("../Data/OK1XYZ");
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.lastText().startsWith("Neplatný název deníku \"../Data/OK1XYZ\""));
        QVERIFY(fixture->fx.dm->UserOptions.Call.isEmpty());
    }

    // A log that another program holds, another copy of this one (started by any user,
    // with any home folder) included, or that the operator made read-only (the file or
    // its folder), is never called damaged: held, it is not opened and the text says to
    // try again; read-only, it is shown and a change is refused with a text saying why.
    // Nothing is written; the log opens whole once the lock is gone or the mode given back.
    void logHeldOrReadOnly_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::newRow("held by another program") << "lock";
        QTest::newRow("open in another copy of the program") << "copy";
        QTest::newRow("read-only log") << "file";
        QTest::newRow("read-only data folder") << "folder";
    }
    void logHeldOrReadOnly()
    {
        QFETCH(QString, cause);
        auto f = std::make_unique<MainWindowFixture>(false);
        f->fx.dm->CloseDatabase();
        const QString path = f->fx.dm->LogFileName(QsoTestFixture::Call);
        const QString locked = cause == "folder" ? f->fx.dm->DataDir : path;
        QVERIFY(WriteTestFile(path, m_pristine));
        LogConnection holder;
        TdmLog otherCopy(f->fx.dm->AppDir);
        const bool held = cause == "lock" || cause == "copy";
        if (cause == "lock") {
            holder.open(path);
            QVERIFY(QSqlQuery(holder.database()).exec("BEGIN EXCLUSIVE"));
        } else if (cause == "copy") {
            otherCopy.OpenDatabase(QsoTestFixture::Call);
        } else {
            QVERIFY(QFile::setPermissions(locked, cause == "folder" ? QFile::ReadOwner | QFile::ExeOwner
                                                                     : QFileDevice::Permissions(QFile::ReadOwner)));
        }
        const QStringList files = QDir(f->fx.dm->DataDir).entryList(QDir::Files);

        ScriptedMessages messages;
        f->start();
        QCOMPARE(messages.texts(), QStringList{held ? MsgLogInUse(path) : MsgLogOpenedReadOnly(path)});
        if (!held) {
            QCOMPARE(f->query().RecordCount(), QsoCount);
            messages.answerNext(mrYes);
            f->w().actDeleteQSO->trigger();
            QCOMPARE(messages.lastText(), MsgLogReadOnly(path));
        }
        f->w().CloseLog();
        QCOMPARE(ReadTestFile(path), m_pristine);
        QCOMPARE(QDir(f->fx.dm->DataDir).entryList(QDir::Files), files);

        holder.close();
        otherCopy.CloseDatabase();
        QVERIFY(QFile::setPermissions(locked, cause == "folder" ? OwnerOnlyFolder : OwnerOnlyFile));
        messages.clear();
        f->w().OpenLog(QsoTestFixture::Call);
        QCOMPARE(messages.texts(), QStringList());
        QCOMPARE(f->query().RecordCount(), QsoCount);
    }

    // A file whose table "log" has other fields is not opened as a log, and not changed.
    void fileOfAnotherProgram()
    {
        auto fixture = std::make_unique<MainWindowFixture>(false);
        QsoTestFixture &fx = fixture->fx;
        fx.dm->CloseDatabase();
        const QString path = fx.dm->LogFileName(QsoTestFixture::Call);
        QVERIFY(QFile::remove(path));
        {
            LogConnection connection(path, LogConnection::OpenOrCreate);
            QSqlQuery q(connection.database());
            QVERIFY(q.exec("CREATE TABLE log (ID INTEGER PRIMARY KEY, CALL TEXT, NOTE TEXT)"));
            QVERIFY(q.exec("INSERT INTO log (CALL) VALUES ('OK1ABC')"));
        }
        const QByteArray content = ReadTestFile(path);

        ScriptedMessages messages;
        fixture->start();
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY2(messages.lastText().contains("není deníkem programu Velkor"),
                 qPrintable(messages.lastText()));
        QVERIFY(!fixture->w().qLog->Active());
        QVERIFY(fx.dm->UserOptions.Call.isEmpty());
        QCOMPARE(ReadTestFile(path), content);
        QVERIFY(!QFile::exists(path + "-journal"));
    }
};

int main(int argc, char *argv[])
{
    TVelkorApplication app(argc, argv);
    TestDamagedLog test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_damagedlog.moc"

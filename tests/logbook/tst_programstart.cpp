#include "AppGlobals.h"
#include "log/DmLog.h"
#include "system/LocalEndpoint.h"
#include "LogGrid.h"
#include "LogChoiceDialog.h"
#include "MainWindow.h"
#include "ModalScript.h"
#include "ProgramStart.h"
#include "ScriptedMessages.h"
#include "system/SingleInstance.h"
#include "base/FileUtils.h"
#include "TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <memory>

class TestProgramStart : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_appDir;
    std::unique_ptr<ScriptedMessages> m_messages;
    std::unique_ptr<ModalScript> m_modals;
    int m_choiceShown = 0;
    bool m_choiceEndsProgram = false;
    QByteArray m_home = qgetenv("HOME");

    // The temporary folders of runs in the test's TEMP.
    QStringList tempFolders() const
    {
        return QDir(m_dir->path() + "/tmp").entryList({"Velkor_Temp*"}, QDir::Dirs | QDir::NoDotAndDotDot);
    }
    QString lockDir() const { return m_dir->path() + "/lock"; }

    void writeIni(const QStringList &calls)
    {
        QFile ini(m_appDir + "Velkor.ini");
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write("[Users]\n");
        for (int slot = 0; slot < calls.size(); ++slot)
            ini.write(QStringLiteral("%1=%2\n").arg(slot).arg(calls[slot]).toUtf8());
        ini.write("\n");
    }

    void writeLog(const QString &call)
    {
        TUserOptions uo;
        uo.SetCall(call);
        uo.SaveAs(m_appDir + "Data/" + call + ".uf");
        CreateLogTable(m_appDir + "Data/" + call + ".db");
    }

    // The log choice answers by closing as the operator's "Konec" does; it records that it
    // was shown and how its bottom button was bound.
    void chooseNothing()
    {
        m_modals->handleAlways("frmProfile", [this](QDialog &dialog) {
            ++m_choiceShown;
            m_choiceEndsProgram = static_cast<TfrmProfile &>(dialog).cancelIsExit();
            return int(mrCancel);
        });
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_appDir = m_dir->path() + "/";
        QVERIFY(QDir().mkpath(m_appDir + "Data"));
        QVERIFY(QDir().mkpath(m_appDir + "tmp"));
        QVERIFY(QDir().mkpath(lockDir()));
        QVERIFY(QFile::copy(QStringLiteral(VELKOR_STAGE_DIR) + "/dxcc.db", m_appDir + "dxcc.db"));
        qputenv("TEMP", (m_appDir + "tmp").toLocal8Bit());
        TLocalEndpoint::setNamePrefix(m_appDir + "ep-");
        m_messages = std::make_unique<ScriptedMessages>();
        m_modals = std::make_unique<ModalScript>();
        m_choiceShown = 0;
        m_choiceEndsProgram = false;
        chooseNothing();
    }

    void cleanup()
    {
        m_modals.reset();
        TLocalEndpoint::setNamePrefix(QString());
        qputenv("HOME", m_home);
        qunsetenv("XDG_RUNTIME_DIR");
        m_messages.reset();
        m_dir.reset();
    }

    void noRegisteredLogAsksAtOnceAndItsCancelEndsTheProgram()
    {
        writeIni({});
        TProgramStart start(m_appDir, {}, lockDir());
        QCOMPARE(start.Start(), TProgramStart::osCancelled);
        QCOMPARE(m_choiceShown, 1);
        QVERIFY(m_choiceEndsProgram);
        QCOMPARE(start.SplashProgress(), (QList<int>{1, 2, 3, 4, 5}));
        // Everything made at start is gone again, the temporary folder too.
        QVERIFY(!frmVelkor && !dmLog && !DxccList && !frmDialog);
        QCOMPARE(tempFolders(), QStringList());
        QVERIFY(!start.Instance()->isAcquired());
        QVERIFY(m_messages->shown.isEmpty());
    }

    // An import killed in the middle left its half-built callbook; the old one stays.
    void startRemovesAHalfBuiltCallBook()
    {
        writeIni({"", "OK1ABC"});
        writeLog("OK1ABC");
        QVERIFY(WriteTestFile(m_appDir + "CallBook.db.new", "half a callbook"));
        QVERIFY(WriteTestFile(m_appDir + "CallBook.db", "the callbook"));
        TProgramStart start(m_appDir, {}, lockDir());
        QCOMPARE(start.Start(), TProgramStart::osRunning);
        QVERIFY(!QFile::exists(m_appDir + "CallBook.db.new"));
        QCOMPARE(ReadTestFile(m_appDir + "CallBook.db"), QByteArray("the callbook"));
    }

    void oneRegisteredLogOpensWhateverTheArgumentSays()
    {
        writeIni({"", "OK1ABC"});
        writeLog("OK1ABC");
        writeLog("OK2DEF");
        TProgramStart start(m_appDir, {"OK2DEF"}, lockDir());
        QCOMPARE(start.Start(), TProgramStart::osRunning);
        QCOMPARE(m_choiceShown, 0);
        QCOMPARE(dmLog->UserOptions.Call, QString("OK1ABC"));
        QCOMPARE(start.ChosenLogName(), QString("OK1ABC"));
        QVERIFY(frmVelkor->isVisible());
        QCOMPARE(frmVelkor->windowTitle(), QString("Velkor \"OK1ABC\""));
        QVERIFY(frmVelkor->actNewQSO->isEnabled()); // the QSO commands are live in the program
        QCOMPARE(tempFolders().size(), 1);
        start.Finish();
        QVERIFY(!frmVelkor && !dmLog);
        QCOMPARE(tempFolders(), QStringList());
        QVERIFY(start.ChosenLogName().isEmpty());
    }

    void argumentChoosesAmongSeveralLogs_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("opened"); // empty: the log choice is shown
        QTest::newRow("lower case") << "ok2def" << "OK2DEF";
        QTest::newRow("exact") << "OK1ABC" << "OK1ABC";
        QTest::newRow("unregistered") << "OK3XYZ" << "";
        QTest::newRow("none") << "" << "";
    }
    void argumentChoosesAmongSeveralLogs()
    {
        QFETCH(QString, argument);
        QFETCH(QString, opened);
        writeIni({"OK1ABC", "", "OK2DEF"});
        writeLog("OK1ABC");
        writeLog("OK2DEF");
        writeLog("OK3XYZ");
        TProgramStart start(m_appDir, argument.isEmpty() ? QStringList() : QStringList{argument}, lockDir());
        const TProgramStart::TOutcome outcome = start.Start();
        if (opened.isEmpty()) {
            QCOMPARE(outcome, TProgramStart::osCancelled);
            QCOMPARE(m_choiceShown, 1);
        } else {
            QCOMPARE(outcome, TProgramStart::osRunning);
            QCOMPARE(m_choiceShown, 0);
            QCOMPARE(dmLog->UserOptions.Call, opened);
        }
    }

    void logChosenInTheDialogRuns()
    {
        writeIni({"OK1ABC", "OK2DEF"});
        writeLog("OK1ABC");
        writeLog("OK2DEF");
        QRect choiceFrame;
        QRect mainArea;
        m_modals->drive("frmProfile", [&](QDialog &dialog) {
            // Centred on the main window, which opens maximised: on the screen's work area.
            choiceFrame = dialog.frameGeometry();
            mainArea = frmVelkor->screen()->availableGeometry();
            frmVelkor->OpenLog("OK2DEF"); // what "Vybrat" does
            dialog.done(mrOk);
        });
        TProgramStart start(m_appDir, {}, lockDir());
        QCOMPARE(start.Start(), TProgramStart::osRunning);
        QCOMPARE(dmLog->UserOptions.Call, QString("OK2DEF"));
        QVERIFY(qAbs(choiceFrame.center().x() - mainArea.center().x()) <= 1);
        QVERIFY(qAbs(choiceFrame.center().y() - mainArea.center().y()) <= 1);
        // The keys go to the log at once.
        QVERIFY(QTest::qWaitForWindowActive(frmVelkor));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(frmVelkor->dbgLog));
        // Titles read as the program gives them: no application name is added to them.
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    }

    void secondStartRestoresAMinimisedWindowAsItWas_data()
    {
        QTest::addColumn<bool>("maximised");
        QTest::newRow("maximised") << true;
        QTest::newRow("normal") << false;
    }
    void secondStartRestoresAMinimisedWindowAsItWas()
    {
        QFETCH(bool, maximised);
        writeIni({"OK1ABC"});
        writeLog("OK1ABC");
        TProgramStart first(m_appDir, {}, lockDir());
        QCOMPARE(first.Start(), TProgramStart::osRunning);
        if (!maximised)
            frmVelkor->showNormal();
        frmVelkor->showMinimized();
        QTRY_VERIFY(frmVelkor->isMinimized());

        TProgramStart second(m_appDir, {}, lockDir());
        QCOMPARE(second.Start(), TProgramStart::osAlreadyRunning);
        QTRY_VERIFY(!frmVelkor->isMinimized());
        QCOMPARE(frmVelkor->isMaximized(), maximised);
        QVERIFY(frmVelkor->isVisible());
    }

    // The same user's second start finds the first whatever the environment of each: one
    // from the desktop session (with XDG_RUNTIME_DIR), one from a shell, ssh or cron.
    void secondStartRaisesTheFirstAndEnds_data()
    {
        QTest::addColumn<QStringList>("runtimes"); // none: the lock folder is given
        QTest::newRow("lock folder given") << QStringList();
        QTest::newRow("first with XDG_RUNTIME_DIR") << QStringList{"run", ""};
        QTest::newRow("second with XDG_RUNTIME_DIR") << QStringList{"", "run"};
    }
    void secondStartRaisesTheFirstAndEnds()
    {
        QFETCH(QStringList, runtimes);
        const QString lock = runtimes.isEmpty() ? lockDir() : QString();
        const auto environment = [&](int start) {
            if (runtimes.isEmpty())
                return;
            TLocalEndpoint::setNamePrefix(QString()); // where the program puts them
            qputenv("HOME", QFile::encodeName(m_dir->path()));
            qunsetenv("XDG_RUNTIME_DIR");
            if (!runtimes[start].isEmpty())
                qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir->path() + "/lock"));
        };
        writeIni({"OK1ABC"});
        writeLog("OK1ABC");
        environment(0);
        TProgramStart first(m_appDir, {}, lock);
        QCOMPARE(first.Start(), TProgramStart::osRunning);
        QSignalSpy raised(first.Instance(), &TSingleInstance::raiseRequested);
        TfrmVelkor *running = frmVelkor;

        environment(1);
        TProgramStart second(m_appDir, {"OK1ABC"}, lock);
        QCOMPARE(second.Start(), TProgramStart::osAlreadyRunning);
        QCOMPARE(raised.count(), 1);
        QCOMPARE(frmVelkor, running); // the second made nothing of its own
        QVERIFY(m_messages->shown.isEmpty());
        second.Finish();
        QCOMPARE(frmVelkor, running);
        QVERIFY(first.Instance()->isAcquired());
    }

    // With no folder of the user's own for the lock (no runtime folder, a home that cannot
    // hold one) the start says why before it ends, instead of ending as if a copy ran.
    void noPlaceForTheLockIsSaid()
    {
        QVERIFY(WriteTestFile(m_dir->path() + "/plain", QByteArray()));
        qputenv("HOME", QFile::encodeName(m_dir->path() + "/plain/home"));
        TProgramStart start(m_appDir, {});
        QCOMPARE(start.Start(), TProgramStart::osNoInstanceLock);
        QCOMPARE(m_messages->texts(),
                 QStringList{TProgramStart::NoInstanceLockText(m_dir->path() + "/plain/home/.velkor-runtime")});
    }

    void missingSettingsFileStopsTheStart()
    {
        TProgramStart start(m_appDir, {}, lockDir());
        QCOMPARE(start.Start(), TProgramStart::osNoSettingsAccess);
        QCOMPARE(m_messages->texts(),
                 QStringList{QString("Nelze zajistit dostatečný přístup k souboru \"%1\"!")
                                 .arg(QDir::toNativeSeparators(m_appDir + "Velkor.ini"))});
        QCOMPARE(m_messages->shown.first().type, mtError);
        QVERIFY(!frmVelkor && !dmLog);
        QCOMPARE(m_choiceShown, 0);
        // The lock was given back: the next start gets in.
        writeIni({});
        TProgramStart next(m_appDir, {}, lockDir());
        QCOMPARE(next.Start(), TProgramStart::osCancelled);
    }

    void readOnlySettingsFileStopsTheStart()
    {
        writeIni({"OK1ABC"});
        QFile::setPermissions(m_appDir + "Velkor.ini", QFileDevice::ReadOwner);
        if (QFile(m_appDir + "Velkor.ini").open(QIODevice::ReadWrite))
            QSKIP("running with privileges that ignore file permissions");
        TProgramStart start(m_appDir, {}, lockDir());
        QCOMPARE(start.Start(), TProgramStart::osNoSettingsAccess);
        QCOMPARE(m_messages->shown.size(), 1);
    }

    void unreadableLogSettingsEndTheStart()
    {
        writeIni({"OK1ABC"}); // registered, but its files are gone
        TProgramStart start(m_appDir, {}, lockDir());
        QCOMPARE(start.Start(), TProgramStart::osTerminated);
        QCOMPARE(m_messages->shown.size(), 1);
        QVERIFY(m_messages->lastText().startsWith("Soubor \""));
        QCOMPARE(m_choiceShown, 0);
        QVERIFY(!frmVelkor);
        QCOMPARE(tempFolders(), QStringList());
    }

    void messageLoopRunsUntilTheWindowCloses()
    {
        writeIni({"OK1ABC"});
        writeLog("OK1ABC");
        TProgramStart start(m_appDir, {}, lockDir());
        m_messages->answerNext(mrYes); // "Opravdu chcete ukončit program?"
        // The operator closes the window once the loop runs (the splash lets timers run
        // before that); a loop that does not end fails the test instead of hanging it.
        bool closedInLoop = false;
        QTimer operatorClose;
        connect(&operatorClose, &QTimer::timeout, this, [&] {
            if (QThread::currentThread()->loopLevel() > 0 && frmVelkor) {
                operatorClose.stop();
                closedInLoop = frmVelkor->close();
            }
        });
        operatorClose.start(20);
        bool hung = false;
        QTimer::singleShot(20000, this, [&hung] {
            hung = true;
            QCoreApplication::quit();
        });
        QCOMPARE(start.Run(), 0);
        QVERIFY(!hung);
        QVERIFY(closedInLoop);
        QCOMPARE(m_messages->texts(), QStringList{"Opravdu chcete ukončit program?"});
        QVERIFY(!frmVelkor && !dmLog);
        QCOMPARE(tempFolders(), QStringList());
        QVERIFY(!start.Instance()->isAcquired());
    }
};

QTEST_MAIN(TestProgramStart)
#include "tst_programstart.moc"

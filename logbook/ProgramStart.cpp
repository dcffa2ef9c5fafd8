#include "ProgramStart.h"

#include "About.h"
#include "AppGlobals.h"
#include "BrowseCommands.h"
#include "log/CallBookImport.h"
#include "base/DatabaseError.h"
#include "log/DmLog.h"
#include "radio/DxccList.h"
#include "FilterDialog.h"
#include "system/HelpViewer.h"
#include "LogChoiceDialog.h"
#include "MainWindow.h"
#include "base/Messages.h"
#include "ModalRunner.h"
#include "ProgressDialog.h"
#include "system/SingleInstance.h"
#include "log/VkrDatabase.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>

const QString TProgramStart::DatabaseMissingText = QStringLiteral(
    "Pro běh programu je nutná databázová knihovna SQLite pro Qt (ovladač QSQLITE).\n"
    "Nainstalujte ji ze softwarových balíčků své distribuce (Debian: libqt6sql6-sqlite).\n"
    "Podrobnosti najdete v souboru README.md v adresáři programu.\n"
    "Program bude nyní ukončen.");

QString TProgramStart::NoInstanceLockText(const QString &folder)
{
    return QStringLiteral("V adresáři \"%1\" nelze vytvořit zámek, který brání spuštění dvou kopií programu!\n"
                          "Adresář musí patřit jen vám a musí do něj jít zapisovat.\n"
                          "Program bude ukončen!")
        .arg(QDir::toNativeSeparators(folder));
}

TProgramStart::TProgramStart(const QString &appDir, const QStringList &arguments, const QString &lockDir,
                             QObject *parent)
    : QObject(parent), m_appDir(QDir::fromNativeSeparators(appDir)), m_arguments(arguments),
      m_instance(std::make_unique<TSingleInstance>(lockDir))
{
    if (!m_appDir.endsWith(u'/'))
        m_appDir += u'/';
}

TProgramStart::~TProgramStart()
{
    Finish();
}

TProgramStart::TOutcome TProgramStart::Start()
{
    // 1. One copy per user: a later start brings the running one forward and ends.
    if (!m_instance->tryAcquire()) {
        // Without a lock no start could tell that this copy runs: rather than run
        // unguarded, or end without a word as if another copy ran, the operator is told.
        if (m_instance->lockImpossible()) {
            MessageDlgDef(NoInstanceLockText(m_instance->lockFolder()), mtError, mbOK, mrOk);
            return osNoInstanceLock;
        }
        m_instance->requestRaise();
        return osAlreadyRunning;
    }
    // 2. The database driver.
    if (!IsBdeConfigured()) {
        MessageDlgDef(DatabaseMissingText, mtError, mbOK, mrOk);
        m_instance->release();
        return osNoDatabase;
    }
    // 3. The program settings file must exist and be readable and writable.
    const QString iniPath = m_appDir + QStringLiteral("Velkor.ini");
    QFile ini(iniPath);
    if (!ini.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
        MessageDlgDef(QStringLiteral("Nelze zajistit dostatečný přístup k souboru \"%1\"!")
                          .arg(QDir::toNativeSeparators(iniPath)),
                      mtError, mbOK, mrOk);
        m_instance->release();
        return osNoSettingsAccess;
    }
    ini.close();
    // A callbook import that was killed in the middle left its half-built table; only
    // this one running copy could be building one now.
    RemoveCallBookLeftovers(m_appDir);

    // 4, 5. Numbers and dates use the program's own separators (Formats); the standard
    // dialogs speak Czech.
    if (m_qtTranslator.load(QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qtTranslator);
    QCoreApplication::setApplicationName(QStringLiteral("Velkor"));
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // The help pages are those of the program folder.
    HelpViewer::SetAppDir(m_appDir);

    // 6 to 8. The splash counts the modules and windows as they are made.
    m_started = true;
    m_splash = std::make_unique<TfrmAbout>();
    m_splash->SetDefaultInfo();
    m_splash->InitProgress(0, SplashSteps, true);
    m_splash->ShowAbout(false, false);
    if (!createModules()) {
        Finish();
        return osStartFailed;
    }
    m_splash->hide();
    frmVelkor->showMaximized();

    // 9, 10. The log: a single registered one, the one named on the command line, or the
    // operator's choice.
    chooseLog();
    if (frmVelkor->Terminated()) {
        Finish();
        return osTerminated;
    }
    if (dmLog->UserOptions.Call.isEmpty() && !runLogChoice()) {
        Finish();
        return osCancelled;
    }
    if (frmVelkor->Terminated()) {
        Finish();
        return osTerminated;
    }
    // 11. The splash is done with; the keys go to the log.
    m_splash.reset();
    frmVelkor->FocusGrid();
    return osRunning;
}

bool TProgramStart::createModules()
{
    try {
        dmLog = new TdmLog(m_appDir);
        advanceSplash(1);
        DxccList = new TDxccList(m_appDir);
        advanceSplash(2);
    } catch (const EDatabaseError &e) {
        MessageDlgDef(e.message(), mtError, mbOK, mrOk);
        return false;
    }
    frmVelkor = new TfrmVelkor(*dmLog);
    frmVelkor->AttachEndpoint(m_instance->endpoint());
    frmVelkor->InstallQsoCommands();
    if (InstallCommands)
        InstallCommands(*frmVelkor);
    connect(m_instance.get(), &TSingleInstance::raiseRequested, this, &TProgramStart::raiseMainWindow);
    connect(frmVelkor, &TfrmVelkor::closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    advanceSplash(3);
    frmDialog = new TfrmDialog(frmVelkor);
    advanceSplash(4);
    frmFilter = new TfrmFilter(frmVelkor);
    InstallBrowseCommands(*frmVelkor);
    advanceSplash(5);
    return true;
}

void TProgramStart::advanceSplash(int step)
{
    m_splashProgress.append(step);
    if (m_splash)
        m_splash->SetProgress(step);
}

void TProgramStart::chooseLog()
{
    const TLogOptions &logs = dmLog->LogOptions;
    int registered = 0;
    QString lastRegistered;
    for (int slot = 0; slot < TLogOptions::UserCount; ++slot) {
        const QString call = logs.GetUser(slot);
        if (!call.isEmpty()) {
            ++registered;
            lastRegistered = call;
        }
    }
    if (registered == 1) {
        m_chosenLogName = lastRegistered;
        frmVelkor->OpenLog(lastRegistered);
        return;
    }
    const QString wanted = m_arguments.value(0).toUpper();
    if (wanted.isEmpty())
        return;
    for (int slot = 0; slot < TLogOptions::UserCount; ++slot) {
        if (logs.GetUser(slot) == wanted) {
            m_chosenLogName = wanted;
            frmVelkor->OpenLog(wanted);
            return;
        }
    }
}

// The log-choice dialog with its bottom button as "Konec": true when it left a log open.
bool TProgramStart::runLogChoice()
{
    TfrmProfile profile(
        *dmLog, [] { frmVelkor->CloseLog(); }, [](const QString &logName) { frmVelkor->OpenLog(logName); },
        frmVelkor);
    profile.BindCancelToExit();
    const int result = RunModal(profile);
    return result == mrOk && !dmLog->UserOptions.Call.isEmpty();
}

void TProgramStart::raiseMainWindow()
{
    if (frmVelkor)
        frmVelkor->BringToFront();
}

int TProgramStart::Run()
{
    const TOutcome outcome = Start();
    if (outcome == osRunning)
        QCoreApplication::exec();
    Finish();
    return outcome == osRunning || outcome == osAlreadyRunning || outcome == osCancelled ? 0 : 1;
}

void TProgramStart::Finish()
{
    m_splash.reset();
    if (m_started) {
        m_started = false;
        delete frmFilter;
        frmFilter = nullptr;
        delete frmDialog;
        frmDialog = nullptr;
        delete frmVelkor;
        frmVelkor = nullptr;
        delete DxccList;
        DxccList = nullptr;
        delete dmLog;
        dmLog = nullptr;
        QCoreApplication::removeTranslator(&m_qtTranslator);
    }
    m_chosenLogName.clear();
    m_instance->release();
}

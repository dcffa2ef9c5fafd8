// F1 in every window that has help asks the help for its page: by topic, by keyword or by
// help context; with the program's pages each request names a page that exists.

#include "../logbook/MainWindowFixture.h"

#include "AppCommands.h"
#include "AziDisDialog.h"
#include "CallBookWindow.h"
#include "ExchangeHost.h"
#include "FileDialogs.h"
#include "FilterDialog.h"
#include "FindDialog.h"
#include "system/HelpViewer.h"
#include "import/ImportOptionsDialog.h"
#include "import/ImportWindow.h"
#include "ListWindow.h"
#include "base/Messages.h"
#include "ModalRunner.h"

#include <QDialog>
#include "LogChoiceDialog.h"
#include "print/PrintLabels.h"
#include "print/PrintLog.h"
#include "QSOWindow.h"
#include "SettingsDialog.h"

#include <QAction>
#include <QDir>
#include <QTest>

namespace {

// Records what reached the help window.
struct RecordingDisplay : THelpDisplay {
    QStringList requests;
    void ShowPage(const QString &file) override { requests << QFileInfo(file).fileName(); }
    void ShowContents(const QString &) override { requests << "contents"; }
    void ShowIndex(const QString &, const QString &keyword) override { requests << "keyword " + keyword; }
    void CloseAll() override {}
};

QAction *helpAction(QWidget &window)
{
    for (QAction *action : window.findChildren<QAction *>(QString(), Qt::FindDirectChildrenOnly))
        if (action->objectName() == QStringLiteral("actHelp") && action->shortcut() == QKeySequence(Qt::Key_F1))
            return action;
    return nullptr;
}

} // namespace

class TestHelpCommands : public QObject
{
    Q_OBJECT

private slots:
    void f1OnEveryWindow();
};

void TestHelpCommands::f1OnEveryWindow()
{
    MainWindowFixture f(false);
    // The program's pages, staged beside the program as the build puts them.
    QVERIFY(QDir().mkpath(f.fx.dm->AppDir + "Help"));
    for (const QString &name : QDir(VELKOR_SOURCE_DIR "/help").entryList({"*.html", "*.css"}))
        QVERIFY(QFile::copy(QStringLiteral(VELKOR_SOURCE_DIR "/help/") + name, f.fx.dm->AppDir + "Help/" + name));
    f.fx.insertSampleLog();
    f.start();
    // The callbook's template and the report project beside the program, as the build stages them.
    QVERIFY(QFile::copy(QStringLiteral(VELKOR_STAGE_DIR "/Clbp.db"), f.fx.dm->AppDir + "Clbp.db"));
    QVERIFY(QFile::copy(QStringLiteral(VELKOR_SOURCE_DIR "/data/Tisk.rav"), f.fx.dm->AppDir + "Tisk.rav"));
    RecordingDisplay display;
    THelpDisplay *previous = HelpViewer::InstallDisplay(&display);
    HelpViewer::SetAppDir(f.fx.dm->AppDir);
    TExchangeHost host = MakeExchangeHost(f.w());
    // No file dialog and no modal window opens here (the callbook asks for data to load).
    FileDialogs::setNextAnswer(QString());
    const TModalHook previousHook = SetModalHook([](QDialog &dialog) {
        QTest::qFail(qPrintable("unexpected window " + dialog.objectName()), __FILE__, __LINE__);
        return int(mrCancel);
    });

    std::vector<std::pair<QString, std::unique_ptr<QWidget>>> windows;
    windows.emplace_back("frmQSO", std::make_unique<TfrmQSO>(0, f.w().QsoWindowContext()));
    windows.emplace_back("frmOptions", std::make_unique<TfrmOptions>(*f.fx.dm, false));
    windows.emplace_back("frmProfile", std::make_unique<TfrmProfile>(*f.fx.dm, [] {}, [](const QString &) {}));
    windows.emplace_back("frmFilter", std::make_unique<TfrmFilter>());
    windows.emplace_back("frmFind", std::make_unique<TfrmFind>(&f.w()));
    windows.emplace_back("frmList", std::make_unique<TfrmList>(*f.fx.dm));
    windows.emplace_back("frmCallBook", std::make_unique<TfrmCallBook>(*f.fx.dm));
    windows.emplace_back("frmAziDis", std::make_unique<TfrmAziDis>(QStringLiteral("JN79SX")));
    windows.emplace_back("frmImport", std::make_unique<TfrmImport>(host));
    windows.emplace_back("frmImportOptions", std::make_unique<TfrmImportOptions>(&host));
    windows.emplace_back("frmTiskDenik", std::make_unique<TfrmTiskDenik>(host));
    windows.emplace_back("frmTiskQSL", std::make_unique<TfrmTiskQSL>(host));

    f.w().actHelp->trigger();
    f.w().actHelpHistory->trigger();
    QCOMPARE(display.requests, (QStringList{"BaseInfo.html", "History.html"}));
    for (const auto &[topic, window] : windows) {
        display.requests.clear();
        QAction *help = helpAction(*window);
        QVERIFY2(help, qPrintable(topic));
        help->trigger();
        const QString expected = topic == "frmQSO" ? "keyword frmQSO" : topic + ".html";
        QCOMPARE(display.requests, QStringList{expected});
        QVERIFY(QFile::exists(f.fx.dm->AppDir + "Help/" + topic + ".html"));
    }
    windows.clear();
    SetModalHook(previousHook);
    FileDialogs::resetScript();
    HelpViewer::InstallDisplay(previous);
}

QTEST_MAIN(TestHelpCommands)
#include "tst_helpcommands.moc"

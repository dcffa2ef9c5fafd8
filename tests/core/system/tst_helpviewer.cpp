// The help bridge: topic files with the extension rule, presence of the help, the help
// contexts, and what reaches the help window.

#include "system/HelpViewer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct RecordingDisplay : THelpDisplay {
    QStringList calls;
    void ShowPage(const QString &file) override { calls << "page " + QFileInfo(file).fileName(); }
    void ShowContents(const QString &) override { calls << "contents"; }
    void ShowIndex(const QString &, const QString &keyword) override { calls << "index " + keyword; }
    void CloseAll() override { calls << "close"; }
};

} // namespace

class TestHelpViewer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void topicFiles_data();
    void topicFiles();
    void requestsReachTheDisplay();
    void nothingWithoutTheHelp();
    void contexts();

private:
    QTemporaryDir m_dir;
    RecordingDisplay m_display;
};

void TestHelpViewer::init()
{
    QDir(m_dir.path()).mkpath("Help");
    QFile base(m_dir.filePath("Help/BaseInfo.html"));
    QVERIFY(base.open(QIODevice::WriteOnly));
    base.close();
    HelpViewer::SetAppDir(m_dir.path());
    HelpViewer::InstallDisplay(&m_display);
    m_display.calls.clear();
}

void TestHelpViewer::cleanup()
{
    HelpViewer::InstallDisplay(nullptr);
}

void TestHelpViewer::topicFiles_data()
{
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("file");
    QTest::newRow("plain topic") << "BaseInfo" << "Help/BaseInfo.html";
    QTest::newRow("window name") << "frmFilter" << "Help/frmFilter.html";
    QTest::newRow("ends in .htm") << "stary.htm" << "Help/stary.htm";
    QTest::newRow("ends in .HTML") << "Velky.HTML" << "Help/Velky.HTML";
    QTest::newRow("other extension") << "poznamka.txt" << "Help/poznamka.txt.html";
    QTest::newRow("with anchor") << "frmQSO#klavesy" << "Help/frmQSO#klavesy.html";
}

void TestHelpViewer::topicFiles()
{
    QFETCH(QString, topic);
    QFETCH(QString, file);
    QCOMPARE(HelpViewer::TopicFile(topic), QDir(m_dir.path()).filePath(file));
}

void TestHelpViewer::requestsReachTheDisplay()
{
    HelpViewer::ShowTopic("BaseInfo");
    HelpViewer::ShowKeyword("  frmQSO ");
    HelpViewer::ShowTableOfContents();
    HelpViewer::ShowContext(9);
    HelpViewer::ShowContext(1234); // no page: nothing
    HelpViewer::CloseAll();
    QCOMPARE(m_display.calls, (QStringList{"page BaseInfo.html", "index frmQSO", "contents", "page frmCallBook.html",
                                            "close"}));
}

void TestHelpViewer::nothingWithoutTheHelp()
{
    QVERIFY(HelpViewer::HelpPresent());
    QVERIFY(QFile::remove(m_dir.filePath("Help/BaseInfo.html")));
    QVERIFY(!HelpViewer::HelpPresent());
    HelpViewer::ShowTopic("History");
    HelpViewer::ShowKeyword("frmQSO");
    HelpViewer::ShowTableOfContents();
    HelpViewer::ShowContext(51);
    QVERIFY(m_display.calls.isEmpty());
}

void TestHelpViewer::contexts()
{
    QCOMPARE(HelpViewer::ContextTopic(9), QStringLiteral("frmCallBook"));
    QCOMPARE(HelpViewer::ContextTopic(11), QStringLiteral("frmAziDis"));
    QCOMPARE(HelpViewer::ContextTopic(51), QStringLiteral("frmTiskDenik"));
    QCOMPARE(HelpViewer::ContextTopic(52), QStringLiteral("frmTiskQSL"));
    QVERIFY(HelpViewer::ContextTopic(0).isEmpty());
    for (int context : {9, 11, 51, 52})
        QVERIFY(HelpViewer::KnownTopics().contains(HelpViewer::ContextTopic(context)));
}

QTEST_GUILESS_MAIN(TestHelpViewer)
#include "tst_helpviewer.moc"

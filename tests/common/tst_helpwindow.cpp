// The help pages and the help window: every topic the program asks for has its page,
// every link and image between the pages resolves, and the window shows pages, the
// contents, the index and finds text.

#include "system/HelpViewer.h"
#include "HelpWindow.h"

#include <QDir>
#include <QDirIterator>
#include <QListWidget>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

namespace {

const QString HelpSource = QStringLiteral(VELKOR_SOURCE_DIR "/help/");

QString readPage(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

class TestHelpWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyTopicHasItsPage();
    void everyLinkAndImageResolves();
    void pagesAreWholeDocuments();
    void showsPagesWithBackAndForward();
    void contentsAndIndex();
    void findInPage();
    void qsoWindowKeywordOpensItsPage();
};

void TestHelpWindow::initTestCase()
{
    HelpViewer::SetAppDir(QStringLiteral(VELKOR_SOURCE_DIR "/help/.."));
    QCOMPARE(HelpViewer::HelpFolder(), QDir(VELKOR_SOURCE_DIR "/help/..").filePath("Help") + u'/');
    // The pages are staged as Help/; the tests read them where they are written.
    HelpViewer::SetAppDir(QStringLiteral(VELKOR_STAGE_DIR));
}

void TestHelpWindow::everyTopicHasItsPage()
{
    for (const QString &topic : HelpViewer::KnownTopics())
        QVERIFY2(QFile::exists(HelpSource + topic + ".html"), qPrintable(topic));
}

void TestHelpWindow::everyLinkAndImageResolves()
{
    static const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"]+)\""));
    int checked = 0;
    for (const QString &name : QDir(HelpSource).entryList({"*.html"})) {
        const QString html = readPage(HelpSource + name);
        for (const auto &match : reference.globalMatch(html)) {
            const QString target = match.captured(1).section(u'#', 0, 0);
            if (target.isEmpty() || target.startsWith("http:") || target.startsWith("https:")
                || target.startsWith("mailto:"))
                continue;
            QVERIFY2(QFile::exists(HelpSource + target), qPrintable(name + " -> " + target));
            ++checked;
        }
    }
    QVERIFY(checked > 20);
}

void TestHelpWindow::pagesAreWholeDocuments()
{
    for (const QString &name : QDir(HelpSource).entryList({"*.html"})) {
        const QString html = readPage(HelpSource + name);
        QVERIFY2(html.contains("<title>") && html.contains("velkor.css") && html.contains("charset=\"utf-8\""),
                 qPrintable(name));
        QVERIFY2(html.count("<table") == html.count("</table>"), qPrintable(name));
    }
}

void TestHelpWindow::showsPagesWithBackAndForward()
{
    TfrmHelp help;
    help.ShowPage(HelpSource + "BaseInfo.html");
    QVERIFY(help.isVisible());
    QVERIFY(help.txtPage->toPlainText().contains("staniční deník"));
    QVERIFY(!help.btnBack->isEnabled());
    help.ShowPage(HelpSource + "frmFilter.html");
    QCOMPARE(QFileInfo(help.CurrentPage()).fileName(), QStringLiteral("frmFilter.html"));
    QVERIFY(help.btnBack->isEnabled());
    help.btnBack->click();
    QCOMPARE(QFileInfo(help.CurrentPage()).fileName(), QStringLiteral("BaseInfo.html"));
    QVERIFY(help.btnForward->isEnabled());
    help.btnForward->click();
    QCOMPARE(QFileInfo(help.CurrentPage()).fileName(), QStringLiteral("frmFilter.html"));
    if (!qEnvironmentVariableIsEmpty("VELKOR_SCREENSHOTS")) {
        help.grab().save(qEnvironmentVariable("VELKOR_SCREENSHOTS") + "/help-filter.png");
        help.ShowPage(HelpSource + "BaseInfo.html");
        help.grab().save(qEnvironmentVariable("VELKOR_SCREENSHOTS") + "/help-baseinfo.png");
    }
}

void TestHelpWindow::contentsAndIndex()
{
    TfrmHelp help;
    help.ShowContents(HelpSource);
    QCOMPARE(help.lstContents->count(), QDir(HelpSource).entryList({"*.html"}).size());
    QCOMPARE(help.lstContents->item(0)->data(Qt::UserRole).toString(), HelpSource + "BaseInfo.html");
    QVERIFY(help.lstContents->item(help.lstContents->count() - 1)->data(Qt::UserRole).toString().endsWith("History.html"));
    help.ShowIndex(HelpSource, "frmFind");
    QCOMPARE(help.tabs->currentIndex(), 1);
    QCOMPARE(QFileInfo(help.CurrentPage()).fileName(), QStringLiteral("frmFind.html"));
    QVERIFY(help.PagesOf("import").size() >= 2); // a keyword of several pages opens none by itself
    help.ShowIndex(HelpSource, "import");
    QCOMPARE(QFileInfo(help.CurrentPage()).fileName(), QStringLiteral("frmFind.html"));
    QVERIFY(help.lstIndex->count() >= 1);
}

void TestHelpWindow::findInPage()
{
    TfrmHelp help;
    help.ShowPage(HelpSource + "frmQSO.html");
    QVERIFY(help.FindInPage("Rychlé zadávání"));
    QVERIFY(help.FindInPage("Rychlé zadávání")); // again, from the caret or wrapping to the top
    QVERIFY(!help.FindInPage("xyzzy-nikde"));
}

void TestHelpWindow::qsoWindowKeywordOpensItsPage()
{
    for (const QString &topic : HelpViewer::KnownTopics()) {
        const QString html = readPage(HelpSource + topic + ".html");
        QVERIFY2(html.contains("content=\"" + topic), qPrintable(topic)); // each page is its window's keyword
    }
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"

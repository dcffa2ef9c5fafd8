#include "About.h"
#include "VelkorVersion.h"

#include <QDesktopServices>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

// Receives the links the window asks the desktop to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QDesktopServices::setUrlHandler("mailto", &m_catcher, "open");
        QDesktopServices::setUrlHandler("https", &m_catcher, "open");
        m_catcher.urls.clear();
    }
    void cleanup()
    {
        QDesktopServices::unsetUrlHandler("mailto");
        QDesktopServices::unsetUrlHandler("https");
    }

    void showsVersionAndInfo()
    {
        TfrmAbout about;
        QCOMPARE(about.lblVersion()->text(), QString("ver"));
        about.SetDefaultInfo();
        QCOMPARE(about.lblVersion()->text(), QString("1.0.1"));
        QCOMPARE(about.lblEMail()->text(), QString::fromUtf8(AboutEMail));
        QCOMPARE(about.lblEMail()->toolTip(), "mailto:" + QString::fromUtf8(AboutEMail));
        QCOMPARE(about.lblWWW()->toolTip(), QString::fromUtf8(AboutWeb));
        QCOMPARE(about.windowTitle(), QString("O programu"));
        QCOMPARE(about.size(), QSize(400, 250));
        QVERIFY(!about.ImgLogo()->pixmap().isNull()); // the picture is in the resources
    }

    void splashStepsAdvance()
    {
        TfrmAbout splash;
        splash.SetDefaultInfo();
        QVERIFY(splash.pgBar()->isHidden());
        splash.InitProgress(0, 5, true);
        QCOMPARE(splash.ShowAbout(false, false), 0);
        QVERIFY(splash.isVisible());
        QVERIFY(splash.pgBar()->isVisible());
        QCOMPARE(splash.pgBar()->value(), 0);
        for (int step = 1; step <= 5; ++step) {
            splash.SetProgress(step);
            QCOMPARE(splash.pgBar()->value(), step);
        }
        QCOMPARE(splash.pgBar()->maximum(), 5);
    }

    void splashIgnoresKeysAndClicks()
    {
        TfrmAbout splash;
        splash.SetDefaultInfo();
        splash.InitProgress(0, 5, true);
        splash.ShowAbout(false, false);
        QTest::keyClick(&splash, Qt::Key_Escape);
        QTest::keyClick(&splash, Qt::Key_A);
        QTest::mouseClick(splash.ImgLogo(), Qt::LeftButton);
        QTest::mouseClick(splash.lblEMail(), Qt::LeftButton);
        QVERIFY(splash.isVisible());
        QCOMPARE(splash.result(), 0);
        QVERIFY(m_catcher.urls.isEmpty());
    }

    void anyKeyEndsTheBox_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("letter") << int(Qt::Key_X);
        QTest::newRow("escape") << int(Qt::Key_Escape);
        QTest::newRow("enter") << int(Qt::Key_Return);
    }
    void anyKeyEndsTheBox()
    {
        QFETCH(int, key);
        TfrmAbout about;
        about.SetDefaultInfo();
        QTimer::singleShot(0, &about, [&] { QTest::keyClick(&about, Qt::Key(key)); });
        QCOMPARE(about.ShowAbout(true, true), 1);
        QVERIFY(!about.isVisible());
        QVERIFY(about.pgBar()->isHidden());
    }

    void clickOnPictureEndsTheBox()
    {
        TfrmAbout about;
        about.SetDefaultInfo();
        QTimer::singleShot(0, &about, [&] { QTest::mouseClick(about.ImgLogo(), Qt::LeftButton); });
        QCOMPARE(about.ShowAbout(true, true), 1);
    }

    void linksOpenAndBoxStays()
    {
        TfrmAbout about;
        about.SetDefaultInfo();
        int result = -1;
        QTimer::singleShot(0, &about, [&] {
            QTest::mouseClick(about.lblEMail(), Qt::LeftButton);
            QTest::mouseClick(about.lblWWW(), Qt::LeftButton);
            QVERIFY(about.isVisible());
            about.done(2);
        });
        result = about.ShowAbout(true, true);
        QCOMPARE(result, 2); // the links did not end it
        QCOMPARE(m_catcher.urls, (QList<QUrl>{QUrl("mailto:" + QString::fromUtf8(AboutEMail)),
                                              QUrl(QString::fromUtf8(AboutWeb))}));
    }

    void linkHover()
    {
        TfrmAbout about;
        about.SetDefaultInfo();
        QLabel *link = about.lblWWW();
        QVERIFY(!link->font().underline());
        const QColor normal = link->palette().color(QPalette::WindowText);
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(link, &enter);
        QVERIFY(link->font().underline());
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(link, &leave);
        QVERIFY(!link->font().underline());
        QCOMPARE(link->palette().color(QPalette::WindowText), normal);
    }

private:
    UrlCatcher m_catcher;
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"

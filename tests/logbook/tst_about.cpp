#include "About.h"
#include "ModalScript.h"
#include "VelkorVersion.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QTest>
#include <QScreen>

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
        QVERIFY(QString::fromUtf8(AboutAuthorship).contains("2006-2007"));
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
        ModalScript modals;
        modals.drive("frmAbout", [key](QDialog &box) { QTest::keyClick(&box, Qt::Key(key)); });
        QCOMPARE(about.ShowAbout(true, true), 1);
        QVERIFY(!about.isVisible());
        QVERIFY(about.pgBar()->isHidden());
    }

    void clickOnPictureEndsTheBox()
    {
        TfrmAbout about;
        about.SetDefaultInfo();
        ModalScript modals;
        modals.drive("frmAbout", [&](QDialog &) { QTest::mouseClick(about.ImgLogo(), Qt::LeftButton); });
        QCOMPARE(about.ShowAbout(true, true), 1);
    }

    void linksOpenAndBoxStays()
    {
        TfrmAbout about;
        about.SetDefaultInfo();
        ModalScript modals;
        bool stayed = false;
        modals.drive("frmAbout", [&](QDialog &) {
            QTest::mouseClick(about.lblEMail(), Qt::LeftButton);
            QTest::mouseClick(about.lblWWW(), Qt::LeftButton);
            stayed = about.isVisible();
        });
        const int result = about.ShowAbout(true, true);
        QVERIFY(stayed);
        QCOMPARE(result, 2); // the links did not end it; the script closed it
        QCOMPARE(m_catcher.urls, (QList<QUrl>{QUrl("mailto:" + QString::fromUtf8(AboutEMail)),
                                              QUrl(QString::fromUtf8(AboutWeb))}));
    }

    // The box stands centred over the main window, also over one that opens maximised
    // and is still being mapped.
    void centredOverTheMainWindow()
    {
        QMainWindow main;
        main.showMaximized();
        TfrmAbout about(&main);
        about.SetDefaultInfo();
        ModalScript modals;
        QPoint centre;
        modals.drive("frmAbout", [&](QDialog &box) { centre = box.frameGeometry().center(); });
        about.ShowAbout(true, true);
        const QPoint expected = main.screen()->availableGeometry().center();
        QVERIFY2((centre - expected).manhattanLength() <= 2,
                 qPrintable(QString("%1,%2").arg(centre.x()).arg(centre.y())));
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

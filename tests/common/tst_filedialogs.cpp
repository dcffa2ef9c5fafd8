#include "FileDialogs.h"

#include <QTemporaryDir>
#include <QTest>

class TestFileDialogs : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { FileDialogs::resetScript(); }

    void scriptedAnswersInOrder()
    {
        QVERIFY(!FileDialogs::isScripted());
        FileDialogs::setNextAnswer("/tmp/a.adi");
        FileDialogs::setNextAnswer("/tmp/b.csv");
        QVERIFY(FileDialogs::isScripted());
        QCOMPARE(FileDialogs::getOpenFileName(nullptr, "Import", "/tmp", "ADIF (*.adi)"), QString("/tmp/a.adi"));
        QCOMPARE(FileDialogs::getSaveFileName(nullptr, "Export"), QString("/tmp/b.csv"));
        // Nothing queued any more: cancelled, without a dialog.
        QCOMPARE(FileDialogs::getOpenFileName(nullptr, "Znovu"), QString());

        const auto requests = FileDialogs::requests();
        QCOMPARE(requests.size(), 3);
        QCOMPARE(requests[0].kind, FileDialogs::Kind::OpenFile);
        QCOMPARE(requests[0].caption, QString("Import"));
        QCOMPARE(requests[0].directory, QString("/tmp"));
        QCOMPARE(requests[0].filter, QString("ADIF (*.adi)"));
        QCOMPARE(requests[1].kind, FileDialogs::Kind::SaveFile);
        QCOMPARE(FileDialogs::lastCaption(), QString("Znovu"));
    }

    void selectFolderChosen()
    {
        QTemporaryDir dir;
        QString folder = dir.path();
        FileDialogs::setNextAnswer("/var/backup/");
        QVERIFY(SelectFolder("Vyberte složku pro zálohy", folder));
        QCOMPARE(folder, QString("/var/backup"));
        const auto request = FileDialogs::requests().last();
        QCOMPARE(request.kind, FileDialogs::Kind::ExistingDirectory);
        QCOMPARE(request.caption, QString("Vyberte složku pro zálohy"));
        QCOMPARE(request.directory, dir.path());
    }

    void selectFolderCancelled()
    {
        QString folder = "/nonexistent/folder";
        FileDialogs::setNextAnswer(QString());
        QVERIFY(!SelectFolder("Složka", folder));
        QCOMPARE(folder, QString("/nonexistent/folder"));
        QCOMPARE(FileDialogs::requests().last().directory, QString("/"));
    }
};

QTEST_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"

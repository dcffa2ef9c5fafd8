#include "FileDialogs.h"

#include "ScriptedMessages.h"
#include "TestFiles.h"

#include <QDir>
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

    // The name given back is the one that will be written, and an existing file of that
    // name is overwritten only when the operator says so; "no" opens the dialog again.
    void saveAsksUnderTheRealName_data()
    {
        QTest::addColumn<QStringList>("answers");   // the dialog's answers, names in the folder
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QStringList>("existing");  // files already in the folder
        QTest::addColumn<QList<int>>("replies");    // to the overwrite questions, in order
        QTest::addColumn<QString>("result");        // empty: cancelled
        QTest::addColumn<QStringList>("asked");     // the files the questions named
        QTest::addColumn<int>("dialogs");

        QTest::newRow("new name gets the extension")
            << QStringList{"OK1XYZ"} << "csv" << QStringList{"OK1XYZ"} << QList<int>{} << "OK1XYZ.csv"
            << QStringList{} << 1;
        QTest::newRow("existing file with extension added: yes")
            << QStringList{"OK1XYZ"} << "csv" << QStringList{"OK1XYZ.csv"} << QList<int>{mrYes}
            << "OK1XYZ.csv" << QStringList{"OK1XYZ.csv"} << 1;
        QTest::newRow("existing file: no, then another name")
            << QStringList{"OK1XYZ", "second"} << "adi" << QStringList{"OK1XYZ.adi"} << QList<int>{mrNo}
            << "second.adi" << QStringList{"OK1XYZ.adi"} << 2;
        QTest::newRow("existing file: no, then cancelled")
            << QStringList{"OK1XYZ"} << "txt" << QStringList{"OK1XYZ.txt"} << QList<int>{mrNo} << ""
            << QStringList{"OK1XYZ.txt"} << 2;
        QTest::newRow("own extension kept and asked for")
            << QStringList{"log.dat"} << "csv" << QStringList{"log.dat"} << QList<int>{mrYes} << "log.dat"
            << QStringList{"log.dat"} << 1;
        QTest::newRow("without default extension")
            << QStringList{"plain"} << "" << QStringList{"plain"} << QList<int>{mrYes} << "plain"
            << QStringList{"plain"} << 1;
        QTest::newRow("asked twice, yes the second time")
            << QStringList{"a", "b"} << "z" << QStringList{"a.z", "b.z"} << QList<int>{mrNo, mrYes} << "b.z"
            << QStringList{"a.z", "b.z"} << 2;
    }
    void saveAsksUnderTheRealName()
    {
        QFETCH(QStringList, answers);
        QFETCH(QString, extension);
        QFETCH(QStringList, existing);
        QFETCH(QList<int>, replies);
        QFETCH(QString, result);
        QFETCH(QStringList, asked);
        QFETCH(int, dialogs);

        QTemporaryDir dir;
        const QDir folder(dir.path());
        for (const QString &name : existing)
            QVERIFY(WriteTestFile(folder.filePath(name), "old"));
        for (const QString &answer : answers)
            FileDialogs::setNextAnswer(folder.filePath(answer));
        ScriptedMessages messages;
        for (int reply : replies)
            messages.answerNext(reply);

        const QString chosen =
            FileDialogs::getSaveFileName(nullptr, "Uložit", folder.filePath("OK1XYZ"), "CSV (*.csv)", extension);
        QCOMPARE(chosen, result.isEmpty() ? QString() : folder.filePath(result));
        QStringList expectedTexts;
        for (const QString &name : asked)
            expectedTexts << QStringLiteral("Soubor \"%1\" již existuje.\nChcete jej přepsat?")
                                 .arg(QDir::toNativeSeparators(folder.filePath(name)));
        QCOMPARE(messages.texts(), expectedTexts);
        for (const auto &shown : messages.shown) {
            QCOMPARE(shown.type, mtConfirmation);
            QCOMPARE(shown.buttons, TMsgDlgButtons(mbYes | mbNo));
            QCOMPARE(shown.defaultResult, int(mrNo));
        }
        const auto requests = FileDialogs::requests();
        QCOMPARE(requests.size(), dialogs);
        QCOMPARE(requests[0].directory, folder.filePath("OK1XYZ"));
        QCOMPARE(requests[0].extension, extension);
        // A dialog opened again starts at the name just refused.
        if (dialogs > 1)
            QCOMPARE(requests[1].directory, folder.filePath(asked[0]));
        for (const QString &name : existing)
            QCOMPARE(ReadTestFile(folder.filePath(name)), QByteArray("old"));
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

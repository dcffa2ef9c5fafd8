#include "settings/LogOptions.h"
#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestLogOptions : public QObject
{
    Q_OBJECT
private slots:
    void slotsZeroAndThreeUsed()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Velkor.ini");
        QVERIFY(WriteTestFile(path, "[Users]\r\n0=OK1ABC\r\n3=OK2XYZ\r\n5=\r\n"));

        TLogOptions options;
        options.Load(path);
        QStringList used;
        for (int i = 0; i < TLogOptions::UserCount; ++i)
            if (!options.GetUser(i).isEmpty())
                used << QString::number(i) + "=" + options.GetUser(i);
        QCOMPARE(used, QStringList({"0=OK1ABC", "3=OK2XYZ"}));
    }

    void indexOutOfRange_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("-1") << -1;
        QTest::newRow("10") << 10;
    }
    void indexOutOfRange()
    {
        QFETCH(int, index);
        TLogOptions options;
        try {
            options.GetUser(index);
            QFAIL("GetUser accepted the index");
        } catch (const EIndexOutOfRange &e) {
            QCOMPARE(e.message(), QString("Index mimo rozsah!"));
        }
        QVERIFY_THROWS_EXCEPTION(EIndexOutOfRange, options.SetUser(index, "OK1ABC"));
        QCOMPARE(options.Ini.ReadSections(), QStringList()); // nothing was written
    }

    void setUserWritesUnchanged()
    {
        TLogOptions options;
        options.SetUser(9, "ok1abc/p");
        options.SetUser(0, "OK2XYZ");
        QCOMPARE(options.GetUser(9), QString("ok1abc/p"));
        QCOMPARE(options.Ini.Text(), QString("[Users]\n9=ok1abc/p\n0=OK2XYZ\n\n"));
    }

    void saveLoadAndClear()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Velkor.ini");
        TLogOptions options;
        options.Load(path); // missing: empty, no error
        QCOMPARE(options.GetUser(0), QString());
        options.SetUser(2, "OK1ABC");
        options.Save();

        TLogOptions reread;
        reread.Load(path);
        QCOMPARE(reread.GetUser(2), QString("OK1ABC"));

        // Clear keeps the file name: the next save empties that same file.
        reread.Clear();
        QCOMPARE(reread.GetUser(2), QString());
        reread.Save();
        QVERIFY(QFile::exists(path));
        QCOMPARE(ReadTestFile(path), QByteArray());
    }

    void saveAsDoesNotReread()
    {
        QTemporaryDir dir;
        const QString other = dir.filePath("other.ini");
        QVERIFY(WriteTestFile(other, "[Users]\n1=OLD\n"));

        TLogOptions options;
        options.SetUser(0, "NEW");
        options.SaveAs(other);
        QCOMPARE(options.Ini.FileName(), other);
        QCOMPARE(options.GetUser(1), QString());
        options.Load(other);
        QCOMPARE(options.GetUser(0), QString("NEW"));
        QCOMPARE(options.GetUser(1), QString());
    }

    void failedSaveThrows()
    {
        QTemporaryDir dir;
        TLogOptions options;
        options.SetUser(0, "OK1ABC");
        QVERIFY_THROWS_EXCEPTION(EIniFileError, options.SaveAs(dir.filePath("no/such/Velkor.ini")));
        QCOMPARE(options.GetUser(0), QString("OK1ABC"));
    }
};

QTEST_GUILESS_MAIN(TestLogOptions)
#include "tst_logoptions.moc"

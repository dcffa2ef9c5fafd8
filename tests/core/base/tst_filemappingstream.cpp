#include "base/FileError.h"
#include "base/FileMappingStream.h"
#include "base/FileUtils.h"
#include "TestFiles.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray Content("0123456789abcdefghijklmnopqrstuvwxyz"); // 36 bytes

} // namespace

class TestFileMappingStream : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_path;

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath("mapped.bin");
        QVERIFY(WriteTestFile(m_path, Content));
    }

    void readsAndSeeks()
    {
        TFileMappingStream stream(m_path, false, QIODevice::ReadOnly);
        QCOMPARE(stream.size(), Content.size());
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(stream.memory()), stream.size()), Content);
        QCOMPARE(stream.read(4), QByteArray("0123"));
        QVERIFY(stream.seek(30));
        QCOMPARE(stream.read(100), QByteArray("uvwxyz"));
        QCOMPARE(stream.read(1), QByteArray());
        QVERIFY(stream.atEnd());
        QVERIFY(stream.seek(10));
        QCOMPARE(stream.pos(), 10);
        QCOMPARE(stream.readAll(), Content.mid(10));
    }

    // A write lands only when all of it fits before the end; the stream never grows.
    void writeNeverGrows_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("written");
        QTest::newRow("10 bytes at 5 before the end") << 31 << 10 << 0;
        QTest::newRow("exactly up to the end") << 26 << 10 << 10;
        QTest::newRow("whole stream") << 0 << 36 << 36;
        QTest::newRow("one byte at the end") << 36 << 1 << 0;
        QTest::newRow("past the end") << 40 << 1 << 0;
        QTest::newRow("in the middle") << 3 << 5 << 5;
    }
    void writeNeverGrows()
    {
        QFETCH(int, position);
        QFETCH(int, count);
        QFETCH(int, written);
        const QByteArray data(count, 'X');
        QByteArray expected = Content;
        if (written > 0)
            expected.replace(position, count, data);
        {
            TFileMappingStream stream(m_path, false, QIODevice::ReadWrite);
            QVERIFY(stream.seek(position));
            QCOMPARE(stream.write(data), qint64(written));
            QCOMPARE(stream.pos(), qint64(position + written));
            QCOMPARE(stream.size(), Content.size());
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(stream.memory()), stream.size()), expected);
        }
        // A read-write mapping writes through to the file.
        QCOMPARE(ReadTestFile(m_path), expected);
    }

    void copyOnWriteKeepsTheFile()
    {
        {
            TFileMappingStream stream(m_path, true, QIODevice::ReadWrite);
            QCOMPARE(stream.write("ABC"), 3);
            QCOMPARE(stream.memory()[0], uchar('A'));
        }
        QCOMPARE(ReadTestFile(m_path), Content);
    }

    void readOnlyRefusesWrites()
    {
        TFileMappingStream stream(m_path, false, QIODevice::ReadOnly);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ReadOnly device"));
        QCOMPARE(stream.write("ABC"), -1);
        QCOMPARE(ReadTestFile(m_path), Content);
    }

    void closeReleasesTheView()
    {
        TFileMappingStream stream(m_path, false, QIODevice::ReadOnly);
        stream.close();
        QVERIFY(!stream.isOpen());
        QVERIFY(stream.memory() == nullptr);
        QCOMPARE(stream.size(), 0);
        stream.close(); // a second close does nothing
    }

    void emptyFileIsAnEmptyStream()
    {
        const QString path = m_dir.filePath("empty.bin");
        QVERIFY(WriteTestFile(path, {}));
        TFileMappingStream stream(path, false, QIODevice::ReadOnly);
        QCOMPARE(stream.size(), 0);
        QVERIFY(stream.memory() == nullptr);
        QCOMPARE(stream.read(10), QByteArray());
    }

    void missingFileRaises()
    {
        const QString path = m_dir.filePath("missing.bin");
        QVERIFY_THROWS_EXCEPTION(EFileError, TFileMappingStream(path, false, QIODevice::ReadOnly));
        QVERIFY_THROWS_EXCEPTION(EFileError, GetFileSizeByName(path));
    }

    void fileSizeByName()
    {
        QCOMPARE(GetFileSizeByName(m_path), Content.size());
        const QString empty = m_dir.filePath("empty.bin");
        QVERIFY(WriteTestFile(empty, {}));
        QCOMPARE(GetFileSizeByName(empty), 0);
    }

    // Only regular files matching the mask go; folders and other names stay.
    void deleteFilesByMask_data()
    {
        QTest::addColumn<QString>("dirSuffix");
        QTest::newRow("folder without separator") << QString();
        QTest::newRow("folder with separator") << QString("/");
    }
    void deleteFilesByMask()
    {
        QFETCH(QString, dirSuffix);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const char *name : {"_Temp.db", "_QSL.db", "_Temp.px", "OK1ABC.db", "x_Temp.db"})
            QVERIFY(WriteTestFile(dir.filePath(name), "x"));
        QVERIFY(QDir(dir.path()).mkdir("_folder.db"));

        DeleteFilesByMask(dir.path() + dirSuffix, "_*.db");

        QStringList left = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        left.sort();
        QCOMPARE(left, QStringList({"OK1ABC.db", "_Temp.px", "_folder.db", "x_Temp.db"}));
    }
};

QTEST_GUILESS_MAIN(TestFileMappingStream)
#include "tst_filemappingstream.moc"

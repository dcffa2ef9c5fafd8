#include "settings/IniFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <limits>

namespace
{

const QByteArray Canonical = "[User]\n"
                             "Call=OK1ABC\n"
                             "Loc=JN79AB\n"
                             "\n"
                             "[Columns]\n"
                             "NOTE_Caption=Poznámka = text\n"
                             "CALL_Width=80\n"
                             "\n"
                             "[Empty]\n"
                             "\n";

QByteArray ManyKeysText(int keys)
{
    QByteArray text = "[Many]\n";
    for (int i = 0; i < keys * 3 / 4; ++i)
        text += "Key" + QByteArray::number(i) + '=' + QByteArray::number(i) + '\n';
    for (int i = 0; i < keys / 4; ++i)
        text += "[S" + QByteArray::number(i) + "]\nv=" + QByteArray::number(i) + '\n';
    text += "[many]\nkey7=late\nKEY7=later\nNew=1\n";
    return text;
}

qint64 ThreadCpuNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The least processor time of two loads of the file.
qint64 BestLoadTime(const QString &path)
{
    qint64 best = std::numeric_limits<qint64>::max();
    for (int run = 0; run < 2; ++run) {
        const qint64 start = ThreadCpuNanoseconds();
        TMemIniFile ini(path);
        best = std::min(best, ThreadCpuNanoseconds() - start);
    }
    return best;
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT
private slots:
    void tolerantReading_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("crlf") << QByteArray("[Users]\r\n0=OK1ABC\r\n3=OK2XYZ\r\n");
        QTest::newRow("blank lines") << QByteArray("\n\n[Users]\n\n0=OK1ABC\n\n\n3=OK2XYZ\n\n");
        QTest::newRow("blanks around names") << QByteArray("  [ Users ]  \n 0 = OK1ABC \n\t3\t=OK2XYZ\n");
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[Users]\n0=OK1ABC\n3=OK2XYZ\n");
        QTest::newRow("comments and junk")
            << QByteArray("0=outside\n; comment\n[Users]\n;0=commented\nno equals sign\n0=OK1ABC\n3=OK2XYZ");
        QTest::newRow("duplicates, first wins")
            << QByteArray("[Users]\n0=OK1ABC\n[Other]\nx=1\n[users]\n0=LATER\n3=OK2XYZ\n3=LATER\n");
    }
    void tolerantReading()
    {
        QFETCH(QByteArray, text);
        TMemIniFile ini;
        ini.SetText(QString::fromUtf8(text));
        QCOMPARE(ini.ReadString("Users", "0", "-"), QString("OK1ABC"));
        QCOMPARE(ini.ReadString("Users", "3", "-"), QString("OK2XYZ"));
        QCOMPARE(ini.ReadSection("Users"), QStringList({"0", "3"}));
    }

    void roundTripOfAFile()
    {
        QTemporaryDir dir;
        const QString source = dir.filePath("in.uf");
        const QString target = dir.filePath("out.uf");
        QVERIFY(WriteTestFile(source, Canonical));
        TMemIniFile ini(source);
        QCOMPARE(ini.ReadString("Columns", "NOTE_Caption", ""), QString("Poznámka = text"));
        QCOMPARE(ini.ReadSections(), QStringList({"User", "Columns", "Empty"}));
        ini.Rename(target, false);
        ini.UpdateFile();
        QCOMPARE(ReadTestFile(target), Canonical);
        // The replacement went through a temporary file that is gone now.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"in.uf", "out.uf"}));
    }

    void namesIgnoreCase()
    {
        TMemIniFile ini;
        ini.SetText("[WENDRA]\nWidth=640\n");
        QCOMPARE(ini.ReadInteger("wendra", "WIDTH", 0), 640);
        QVERIFY(ini.SectionExists("Wendra"));
        QVERIFY(ini.ValueExists("WENDRA", "width"));
        ini.WriteInteger("Wendra", "width", 800);
        ini.WriteInteger("WENDRA", "Height", 480);
        // One section, one Width key, written with the latest spelling.
        QCOMPARE(ini.Text(), QString("[WENDRA]\nwidth=800\nHeight=480\n\n"));
    }

    void writingKeepsOrder()
    {
        TMemIniFile ini;
        ini.WriteString("B", "z", "1");
        ini.WriteString("A", "y", "2");
        ini.WriteString("B", "a", "3");
        ini.WriteString("B", "z", "4");
        QCOMPARE(ini.Text(), QString("[B]\nz=4\na=3\n\n[A]\ny=2\n\n"));
        ini.Clear();
        QCOMPARE(ini.Text(), QString());
    }

    // Reading takes time in proportion to the file: 200,000 keys, most in one section and
    // the rest in sections of their own, load in well under a second (the bound is on processor
    // time, so a busy machine does not fail it; a load that compares every key with every earlier
    // one takes minutes). Every key reads back, and duplicates still keep their first value.
    void largeFileLoadsInLinearTime()
    {
        constexpr int Keys = 200000;
        QTemporaryDir dir;
        const QString path = dir.filePath("big.uf");
        QVERIFY(WriteTestFile(path, ManyKeysText(Keys)));

        const qint64 loadTime = BestLoadTime(path);
        QVERIFY2(loadTime < 5'000'000'000, qPrintable(QString("%1 ms").arg(loadTime / 1e6)));

        TMemIniFile ini(path);
        QCOMPARE(ini.ReadSection("MANY").size(), Keys * 3 / 4 + 1);
        QCOMPARE(ini.ReadSections().size(), 1 + Keys / 4);
        QCOMPARE(ini.ReadString("many", "KEY7", ""), QString("7"));
        QCOMPARE(ini.ReadString("many", "new", ""), QString("1"));
        QCOMPARE(ini.ReadInteger("Many", "Key149999", 0), 149999);
        QCOMPARE(ini.ReadInteger("s49999", "V", 0), 49999);
        ini.WriteString("MANY", "key0", "changed");
        QCOMPARE(ini.ReadString("Many", "Key0", ""), QString("changed"));
        QCOMPARE(ini.ReadSection("Many").first(), QString("key0"));
    }

    void lineBreaksCannotInjectKeys()
    {
        TMemIniFile ini;
        ini.WriteString("BackUp", "Path", "/tmp/a\n[User]\r\nCall=EVIL");
        TMemIniFile back;
        back.SetText(ini.Text());
        QCOMPARE(back.ReadSections(), QStringList({"BackUp"}));
        QCOMPARE(back.ReadString("BackUp", "Path", ""), QString("/tmp/a [User]  Call=EVIL"));
    }

    void integers_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("number") << "12" << 12;
        QTest::newRow("negative") << "-3" << -3;
        QTest::newRow("blanks") << " 12 " << 12;
        QTest::newRow("empty") << "" << 77;
        QTest::newRow("letters") << "12a" << 77;
        QTest::newRow("float") << "1,5" << 77;
        QTest::newRow("too big") << "99999999999" << 77;
    }
    void integers()
    {
        QFETCH(QString, stored);
        QFETCH(int, expected);
        TMemIniFile ini;
        ini.WriteString("S", "k", stored);
        QCOMPARE(ini.ReadInteger("S", "k", 77), expected);
    }

    void booleans_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("defaultValue");
        QTest::addColumn<bool>("expected");
        QTest::newRow("1") << "1" << false << true;
        QTest::newRow("0") << "0" << true << false;
        QTest::newRow("2 is true") << "2" << false << true;
        QTest::newRow("-1 is true") << "-1" << false << true;
        QTest::newRow("text gives default true") << "ano" << true << true;
        QTest::newRow("text gives default false") << "ano" << false << false;
        QTest::newRow("empty gives default") << "" << true << true;
    }
    void booleans()
    {
        QFETCH(QString, stored);
        QFETCH(bool, defaultValue);
        QFETCH(bool, expected);
        TMemIniFile ini;
        ini.WriteString("S", "k", stored);
        QCOMPARE(ini.ReadBool("S", "k", defaultValue), expected);
    }

    void floats_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<double>("expected");
        QTest::newRow("comma") << "14,025" << 14.025;
        QTest::newRow("whole") << "100" << 100.0;
        QTest::newRow("full stop is no number") << "14.025" << -1.0;
        QTest::newRow("text") << "abc" << -1.0;
        QTest::newRow("empty") << "" << -1.0;
    }
    void floats()
    {
        QFETCH(QString, stored);
        QFETCH(double, expected);
        TMemIniFile ini;
        ini.WriteString("S", "k", stored);
        QCOMPARE(ini.ReadFloat("S", "k", -1.0), expected);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("dd.mm.yyyy") << "05.03.2007" << QDate(2007, 3, 5);
        QTest::newRow("d.m.yyyy") << "5.3.2007" << QDate(2007, 3, 5);
        QTest::newRow("no such day") << "31.02.2007" << QDate(2000, 1, 1);
        QTest::newRow("iso form") << "2007-03-05" << QDate(2000, 1, 1);
        QTest::newRow("empty") << "" << QDate(2000, 1, 1);
    }
    void dates()
    {
        QFETCH(QString, stored);
        QFETCH(QDate, expected);
        TMemIniFile ini;
        ini.WriteString("S", "k", stored);
        QCOMPARE(ini.ReadDate("S", "k", QDate(2000, 1, 1)), expected);
    }

    void typedWrites()
    {
        TMemIniFile ini;
        ini.WriteBool("S", "on", true);
        ini.WriteBool("S", "off", false);
        ini.WriteFloat("S", "f", 3.5);
        ini.WriteDate("S", "d", QDate(2007, 3, 5));
        ini.WriteInteger("S", "i", -42);
        QCOMPARE(ini.Text(), QString("[S]\non=1\noff=0\nf=3,5\nd=05.03.2007\ni=-42\n\n"));
        QCOMPARE(ini.ReadString("S", "missing", "def"), QString("def"));
        QCOMPARE(ini.ReadString("Nowhere", "f", "def"), QString("def"));
    }

    void missingFileIsEmpty()
    {
        QTemporaryDir dir;
        TMemIniFile ini;
        ini.WriteString("S", "k", "v");
        ini.Rename(dir.filePath("none.ini"), true);
        QCOMPARE(ini.ReadSections(), QStringList());
        QCOMPARE(ini.FileName(), dir.filePath("none.ini"));
    }

    void unreadableFileThrows()
    {
        QTemporaryDir dir;
        TMemIniFile ini;
        try {
            ini.Rename(dir.path(), true); // a folder, not a file
            QFAIL("no exception");
        } catch (const EIniFileError &e) {
            QCOMPARE(e.message(), QString("Soubor \"%1\" nelze načíst!").arg(dir.path()));
        }
    }

    void failedSaveThrows_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::addColumn<QString>("readOnly"); // what the operator made read-only
        QTest::newRow("no such folder") << "missing/Velkor.ini" << "";
        QTest::newRow("a folder") << "sub" << "";
        QTest::newRow("no file name") << "" << "";
        // The mode is what counts, also for a program that runs as root, which the system
        // would let write.
        QTest::newRow("read-only Velkor.ini") << "kept/Velkor.ini" << "file";
        QTest::newRow("read-only operator settings") << "kept/OK1ABC.uf" << "file";
        QTest::newRow("read-only settings folder") << "kept/OK1ABC.uf" << "folder";
    }
    void failedSaveThrows()
    {
        QFETCH(QString, relativePath);
        QFETCH(QString, readOnly);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        QVERIFY(QDir(dir.path()).mkdir("kept"));
        const QString kept = dir.filePath("kept");
        for (const char *name : {"/Velkor.ini", "/OK1ABC.uf"})
            QVERIFY(WriteTestFile(kept + name, Canonical));
        const QString path = relativePath.isEmpty() ? QString() : dir.filePath(relativePath);
        if (readOnly == "file")
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        if (readOnly == "folder")
            QVERIFY(QFile::setPermissions(kept, QFile::ReadOwner | QFile::ExeOwner));
        TMemIniFile ini;
        ini.WriteString("Users", "0", "OK1ABC");
        ini.Rename(path, false);
        // The operator's settings hold a password: saved for the owner alone.
        ini.SetOwnerOnly(path.endsWith(".uf"));
        QVERIFY_THROWS_EXCEPTION(EIniFileError, ini.UpdateFile());
        QVERIFY(QFileInfo(dir.filePath("sub")).isDir());
        QCOMPARE(QDir(kept).entryList(QDir::Files | QDir::Hidden), QStringList({"OK1ABC.uf", "Velkor.ini"}));
        for (const char *name : {"/Velkor.ini", "/OK1ABC.uf"})
            QCOMPARE(ReadTestFile(kept + name), Canonical);
        QVERIFY(QFile::setPermissions(kept, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    void saveReplacesWholeFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Velkor.ini");
        QVERIFY(WriteTestFile(path, "[Users]\n0=OK1ABC\n1=OK2XYZ\n2=OK3QQQ\n\n"));
        TMemIniFile ini(path);
        ini.Clear();
        ini.WriteString("Users", "0", "OK1ABC");
        ini.UpdateFile();
        QCOMPARE(ReadTestFile(path), QByteArray("[Users]\n0=OK1ABC\n\n"));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"

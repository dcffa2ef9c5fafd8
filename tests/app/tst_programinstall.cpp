// The install step of the run command: the staged program folder copied to the operator's
// program folder, programs and shared files replaced, Velkor.ini, Data/ and Zaloha/ kept
// byte for byte, and no program folder inside the source tree.

#include "TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace
{

using Files = QMap<QString, QByteArray>; // relative path -> contents

const QString InstallScript = QStringLiteral(VELKOR_SOURCE_DIR "/tools/install-velkor.sh");

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    for (char &c : bytes)
        c = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

bool writeFiles(const QString &root, const Files &files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString path = QDir(root).filePath(it.key());
        if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !WriteTestFile(path, it.value()))
            return false;
    }
    return true;
}

// Every file below the folder with its bytes.
Files readFiles(const QString &root)
{
    Files files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(root).relativeFilePath(path), ReadTestFile(path));
    }
    return files;
}

// A program folder as the build stages it, its programs marked with `version`.
Files stagedFolder(const QByteArray &version)
{
    return {{"velkor", "#!/bin/sh\necho velkor " + version + "\n"},
            {"wendra", "#!/bin/sh\necho wendra " + version + "\n"},
            {"Velkor.ini", "[Users]\n\n"},
            {"dxcc.db", "dxcc " + version},
            {"iota.db", "iota " + version},
            {"Clbp.db", "callbook template " + version},
            {"Tisk.rav", "reports " + version},
            {"Help/BaseInfo.html", "<p>" + version + "</p>"},
            {"Help/History.html", "<p>history " + version + "</p>"},
            {"Data/Default.ini", "[Options]\nstaged=" + version + "\n"}};
}

bool stage(const QString &root, const QByteArray &version)
{
    if (!writeFiles(root, stagedFolder(version)))
        return false;
    for (const char *program : {"velkor", "wendra"})
        if (!QFile::setPermissions(QDir(root).filePath(program),
                                   QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            return false;
    return true;
}

struct Run {
    int exitCode = -1;
    QString errors;
};

Run install(const QString &staged, const QString &target)
{
    QProcess process;
    process.start(QStringLiteral("bash"), {InstallScript, staged, target});
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

class TestProgramInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("bash")).isEmpty())
            QSKIP("bash is not installed");
    }

    void firstInstallGetsEverything();
    void reinstallKeepsTheOperatorsFiles();
    void refusedTargets_data();
    void refusedTargets();
};

void TestProgramInstall::firstInstallGetsEverything()
{
    QTemporaryDir dir;
    const QString staged = dir.filePath("build/Velkor");
    const QString target = dir.filePath("home/op/Velkor"); // parents missing too
    QVERIFY(stage(staged, "1.0"));
    QVERIFY(QDir().mkpath(staged + "/Zaloha"));
    const Run run = install(staged, target);
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    QCOMPARE(readFiles(target), stagedFolder("1.0"));
    QVERIFY(QFileInfo(target + "/Zaloha").isDir());
    QVERIFY(QFileInfo(target + "/velkor").isExecutable());
    QVERIFY(QFileInfo(target + "/wendra").isExecutable());
}

// Installed twice over a folder in use: the second run brings new programs and pages,
// and the logs, settings and backups stay exactly as they were.
void TestProgramInstall::reinstallKeepsTheOperatorsFiles()
{
    QTemporaryDir dir;
    const QString staged = dir.filePath("Velkor-staged");
    const QString target = dir.filePath("Velkor");
    const Files operators{{"Velkor.ini", "[Users]\nUser0=OK1XYZ\n"},
                          {"Data/OK1XYZ.db", randomBytes(200000)},
                          {"Data/OK1XYZ.ini", "[nQSO]\nRefreshLog=1\n"},
                          {"Data/Default.ini", "[Options]\nchanged by the operator\n"},
                          {"Data/sub/old.db", randomBytes(1000)},
                          {"Zaloha/OK1XYZ 01.12.2026.z", randomBytes(5000)},
                          {"CallBook.db", randomBytes(3000)}};
    QVERIFY(writeFiles(target, operators));
    QVERIFY(writeFiles(target, {{"velkor", "old program"}, {"Help/Removed.html", "old page"}}));

    for (const QByteArray version : {"2.0", "3.0"}) {
        QVERIFY(stage(staged, version));
        const Run run = install(staged, target);
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));

        Files expected = stagedFolder(version);
        for (auto it = operators.cbegin(); it != operators.cend(); ++it)
            expected.insert(it.key(), it.value());
        QCOMPARE(readFiles(target), expected);
        QVERIFY(QFileInfo(target + "/velkor").isExecutable());
    }
}

void TestProgramInstall::refusedTargets_data()
{
    QTest::addColumn<QString>("target"); // relative to the source tree when not absolute
    QTest::addColumn<bool>("programs");  // the staged folder holds the programs
    QTest::newRow("in the build folder") << "build-install-test/Velkor" << true;
    QTest::newRow("the source tree itself") << "." << true;
    QTest::newRow("below it by a detour") << "tools/../build-install-test" << true;
    QTest::newRow("no programs staged") << "" << false;
}

void TestProgramInstall::refusedTargets()
{
    QFETCH(QString, target);
    QFETCH(bool, programs);
    QTemporaryDir dir;
    const QString staged = dir.filePath("staged");
    QVERIFY(stage(staged, "1.0"));
    if (!programs)
        QVERIFY(QFile::remove(staged + "/wendra"));
    const QString path = target.isEmpty() ? dir.filePath("Velkor") : QStringLiteral(VELKOR_SOURCE_DIR "/") + target;
    const bool existed = QFileInfo::exists(path);

    const Run run = install(staged, path);
    QCOMPARE(run.exitCode, 1);
    QVERIFY(!run.errors.isEmpty());
    QCOMPARE(QFileInfo::exists(path), existed);
    for (const char *name : {"velkor", "Tisk.rav", "Velkor.ini", "Data"})
        QVERIFY2(!QFileInfo::exists(QDir(path).filePath(name)), name);
}

QTEST_GUILESS_MAIN(TestProgramInstall)
#include "tst_programinstall.moc"

// Times loading an operator settings file of 200,000 keys (the usual sections, then one
// section of many keys and a few sections with a key each), as a start or a log opening
// loads it, and reading every key back once.
//   bench_settings [key count]

#include "settings/UserOptions.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <ctime>
#include <exception>

namespace
{

QByteArray settingsText(int keyCount)
{
    QByteArray text = "[User]\nCall=OK1XYZ\n\n[Columns]\n";
    int written = 1;
    // Most keys in one section, the worst case for a look-up within a section; the rest
    // spread over sections of their own, the worst case for finding a section.
    const int inOne = keyCount * 3 / 4;
    for (int i = 0; written < inOne; ++i, ++written)
        text += "Key" + QByteArray::number(i) + '=' + QByteArray::number(i * 7) + '\n';
    for (int i = 0; written < keyCount; ++i, ++written)
        text += "\n[Section" + QByteArray::number(i) + "]\nValue=" + QByteArray::number(i) + '\n';
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int keyCount = app.arguments().value(1, QStringLiteral("200000")).toInt();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("OK1XYZ.uf"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(settingsText(keyCount)) < 0) {
            out << "cannot write " << path << '\n';
            return 1;
        }
    }
    try {
        TUserOptions options;
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpuStart = std::clock();
        options.Load(path);
        const qint64 loadMs = timer.elapsed();
        const qint64 loadCpuMs = qint64(std::clock() - cpuStart) * 1000 / CLOCKS_PER_SEC;

        timer.restart();
        int found = 0;
        const int inOne = keyCount * 3 / 4;
        for (int i = 0; i + 1 < inOne; ++i)
            found +=
                options.Ini.ValueExists(QStringLiteral("columns"), QStringLiteral("KEY%1").arg(i)) ? 1 : 0;
        const qint64 readMs = timer.elapsed();

        out << "settings file of " << keyCount << " keys (" << QFile(path).size() / 1024 << " KiB)\n"
            << "  load: " << loadMs << " ms (processor time " << loadCpuMs << " ms), call " << options.Call
            << '\n'
            << "  read " << found << " keys back: " << readMs << " ms\n";
        return options.Call == u"OK1XYZ" && found == inOne - 1 ? 0 : 1;
    } catch (const std::exception &e) {
        out << "failed: " << e.what() << '\n';
        return 1;
    }
}

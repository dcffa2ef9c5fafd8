// Times TDxccList::FindCall over real call signs: 100,000 look-ups of the calls of the
// contest call list MASTER.SCP (hamradio-files), taken in file order and repeated as
// needed, on the staged dxcc.db.
//   bench_dxcc [program folder] [MASTER.SCP]

#include "radio/DxccList.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <exception>

namespace
{

QStringList readCalls(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList calls;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QByteArray call = line.trimmed();
        if (!call.isEmpty() && !call.startsWith('#'))
            calls << QString::fromLatin1(call);
    }
    return calls;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const QString folder = args.value(1, QStringLiteral(VELKOR_STAGE_DIR));
    const QString master = args.value(2, QStringLiteral("/usr/share/hamradio-files/MASTER.SCP"));
    constexpr int Lookups = 100000;

    const QStringList calls = readCalls(master);
    if (calls.isEmpty()) {
        out << "no calls in " << master << '\n';
        return 1;
    }
    try {
        QElapsedTimer timer;
        timer.start();
        TDxccList list(folder);
        const qint64 loadNs = timer.nsecsElapsed();

        int found = 0;
        timer.restart();
        for (int i = 0; i < Lookups; ++i)
            found += list.FindCall(calls.at(i % calls.size())) ? 1 : 0;
        const qint64 findNs = timer.nsecsElapsed();

        out << "dxcc.db: " << list.RecordCount() << " rows loaded in " << loadNs / 1e6 << " ms\n"
            << "FindCall: " << Lookups << " look-ups of " << calls.size() << " distinct calls, " << found
            << " found, " << findNs / 1e6 << " ms, " << double(findNs) / Lookups / 1000.0
            << " us on average\n";
    } catch (const std::exception &e) {
        out << "failed: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

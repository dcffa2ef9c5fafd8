// Times the ADIF import without its windows, beside its floors: reading a file of QSOs
// into the staging table with the duplicate check against a large log (floor: the same
// scanner, the hash and bound inserts on SQLite's own interface), and appending the
// staged QSOs to the log in one transaction (floor: INSERT ... SELECT into the log
// without its look-up indexes).
// Usage: bench_adifimport [qsos] [read]   (default 250000; the log holds as many QSOs;
// "read" measures only the read, for profiling it)

#include "import/AdifImport.h"
#include "radio/Amater.h"
#include "radio/DxccList.h"
#include "import/ImportDupeIndex.h"
#include "import/ImportStaging.h"
#include "log/LogConnection.h"
#include "log/LogTable.h"
#include "RandomLog.h"
#include "log/VkrDatabase.h"
#include "ProcessStatus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "FloorTables.h"
#include "SideBySide.h"

#include <QDir>

#include <sqlite3.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include <sys/resource.h>

namespace
{

// The log's fields without the ID.
QString dataFields()
{
    return QStringList(LogFieldNames.begin() + 1, LogFieldNames.end()).join(u',');
}

QByteArray tag(const char *name, const QByteArray &data)
{
    return '<' + QByteArray(name) + ':' + QByteArray::number(data.size()) + '>' + data;
}

// A file of `count` QSOs as other programs write them; every tenth is a QSO of the log,
// so that the duplicate check finds something.
void writeAdif(const QString &path, const QString &logConnection, int count)
{
    QSqlQuery q(QSqlDatabase::database(logConnection));
    q.setForwardOnly(true);
    q.exec("SELECT DAT,UTC,CALL,FREQ,MODE FROM log");
    static const char *prefixes[] = {"OK1", "OK2", "DL", "G",  "F",  "K",  "W",
                                     "JA",  "VK",  "PY", "UA", "SP", "OM", "I"};
    static const char *modes[] = {"CW", "SSB", "FT8", "RTTY", "FM", "PSK31"};
    static const char *bands[] = {"14.025", "7.030", "3.550", "21.074", "28.400", "144.300"};
    QRandomGenerator rng(73);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("ADIF export for the benchmark\n<ADIF_VER:5>3.1.4<PROGRAMID:5>bench<EOH>\n");
    for (int i = 0; i < count; ++i) {
        QByteArray r;
        if (i % 10 == 0 && q.next()) {
            r += tag("QSO_DATE", q.value(0).toString().remove('-').toLatin1());
            r += tag("TIME_ON", q.value(1).toString().remove(':').toLatin1());
            r += tag("CALL", q.value(2).toString().toLatin1());
            r += tag("FREQ", QByteArray::number(q.value(3).toDouble(), 'g', 15));
            r += tag("MODE", q.value(4).toInt() == 2 ? "SSB" : "CW");
        } else {
            const QDate d = QDate(2000, 1, 1).addDays(rng.bounded(9000));
            r += tag("QSO_DATE", d.toString("yyyyMMdd").toLatin1());
            r += tag("TIME_ON", QTime(0, 0).addSecs(rng.bounded(86400)).toString("HHmmss").toLatin1());
            r += tag("CALL", QByteArray(prefixes[rng.bounded(14)]) + QByteArray::number(rng.bounded(10)) +
                                 QByteArray(1, char('A' + rng.bounded(26))) +
                                 QByteArray(1, char('A' + rng.bounded(26))));
            r += tag("FREQ", bands[rng.bounded(6)]);
            r += tag("MODE", modes[rng.bounded(6)]);
        }
        r += tag("RST_SENT", "599") + tag("RST_RCVD", "579") + tag("NAME", "Jan") + tag("QTH", "Praha");
        r += tag("GRIDSQUARE", "JO70") + tag("TX_PWR", "100") + tag("QSL_SENT", "Y") +
             tag("COMMENT", "tnx QSO 73");
        r += tag("APP_BENCH_ID", QByteArray::number(i)) + "<EOR>\n";
        f.write(r);
    }
}

// The floor of the read: the file, mapped into memory, scanned by the same scanner; the
// log's five compared values read from SQLite's own interface into a hash of compact keys
// (date and time as numbers, the frequency to four decimals, the mode's number, the call),
// each record looked up by the same key, and each record that is no duplicate bound,
// field by field as its text, into a table of the log's shape.
class FloorReader : public TAdifSink
{
public:
    FloorReader(const QString &logPath, const QString &stagingPath)
    {
        for (int mode = 1; mode < ModeCount; ++mode)
            m_modeOfName.emplace(ModeNames[mode].toStdString(), mode);
        sqlite3_open(QFile::encodeName(logPath).constData(), &m_log);
        sqlite3_stmt *read = nullptr;
        sqlite3_prepare_v2(m_log, "SELECT DAT,UTC,FREQ,MODE,CALL FROM log", -1, &read, nullptr);
        while (sqlite3_step(read) == SQLITE_ROW) {
            const auto text = [&](int column) { return reinterpret_cast<const char *>(sqlite3_column_text(read, column)); };
            Key key;
            key.date = digits(text(0), "9999-99-99");
            key.time = seconds(digits(text(1), "99:99:99"));
            key.freq = std::llround(sqlite3_column_double(read, 2) * 1e4);
            key.mode = sqlite3_column_int(read, 3);
            key.call.assign(text(4), size_t(sqlite3_column_bytes(read, 4)));
            m_keys.insert(std::move(key));
        }
        sqlite3_finalize(read);
        sqlite3_open(QFile::encodeName(stagingPath).constData(), &m_staging);
        sqlite3_exec(m_staging, "PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY; BEGIN", nullptr, nullptr,
                     nullptr);
        const QByteArray sql = ("INSERT INTO log (" + LogFieldListSql() + ") VALUES (?" +
                                QStringLiteral(",?").repeated(LogFieldCount - 1) + ")")
                                   .toUtf8();
        sqlite3_prepare_v2(m_staging, sql.constData(), -1, &m_insert, nullptr);
    }
    ~FloorReader()
    {
        sqlite3_finalize(m_insert);
        sqlite3_exec(m_staging, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(m_staging);
        sqlite3_close(m_log);
    }

    void Read(const QString &adifPath)
    {
        QFile file(adifPath);
        file.open(QIODevice::ReadOnly);
        const uchar *data = file.map(0, file.size());
        TAdifScanner scanner(*this);
        scanner.Scan(data, file.size());
        std::printf("    floor staged %lld\n", m_posted);
    }

    void ProcessAdifField(quint32 tagHash, char *data, int length) override
    {
        const auto slot = m_slotOfTag.find(tagHash);
        if (slot != m_slotOfTag.end())
            m_fields[slot->second].assign(data, size_t(length));
    }
    void ProcessAdifRecord(qint64) override
    {
        Key key;
        key.date = digits(m_fields[0].c_str(), "99999999");
        key.time = seconds(digits(m_fields[1].c_str(), "999999"));
        key.freq = std::llround(std::strtod(m_fields[3].c_str(), nullptr) * 1e4);
        const auto mode = m_modeOfName.find(m_fields[5]);
        key.mode = mode == m_modeOfName.end() ? 0 : mode->second;
        key.call = m_fields[2];
        if (!m_keys.contains(key)) {
            sqlite3_bind_int64(m_insert, 1, ++m_posted);
            for (int column = 1; column < LogFieldCount; ++column) {
                const std::string &text = m_fields[(column - 1) % m_fields.size()];
                sqlite3_bind_text(m_insert, column + 1, text.data(), int(text.size()), SQLITE_STATIC);
            }
            sqlite3_step(m_insert);
            sqlite3_reset(m_insert);
        }
        for (std::string &field : m_fields)
            field.clear();
    }

private:
    struct Key {
        int date = -1, time = -1, mode = 0;
        long long freq = 0;
        std::string call;
        bool operator==(const Key &o) const
        {
            return date == o.date && time == o.time && mode == o.mode && freq == o.freq && call == o.call;
        }
    };
    struct KeyHash {
        size_t operator()(const Key &k) const
        {
            return std::hash<std::string>()(k.call) ^ (size_t(k.date) * 86400 + size_t(k.time)) * 0x9e3779b97f4a7c15ULL ^
                   size_t(k.freq) << 5 ^ size_t(k.mode);
        }
    };
    // The digits of text of that shape ("9" a digit) as one number; -1 for other text.
    static int digits(const char *text, const char *shape)
    {
        int value = 0;
        for (; *shape; ++shape, ++text) {
            if (*shape == '9') {
                if (*text < '0' || *text > '9')
                    return -1;
                value = value * 10 + (*text - '0');
            } else if (*text != *shape) {
                return -1;
            }
        }
        return *text ? -1 : value;
    }
    static int seconds(int hhmmss) { return hhmmss < 0 ? -1 : hhmmss / 10000 * 3600 + hhmmss / 100 % 100 * 60 + hhmmss % 100; }

    sqlite3 *m_log = nullptr;
    sqlite3 *m_staging = nullptr;
    sqlite3_stmt *m_insert = nullptr;
    std::unordered_set<Key, KeyHash> m_keys;
    std::unordered_map<std::string, int> m_modeOfName;
    std::array<std::string, 12> m_fields;
    long long m_posted = 0;
    const std::unordered_map<quint32, int> m_slotOfTag{
        {AdifTag::QSO_DATE, 0}, {AdifTag::TIME_ON, 1}, {AdifTag::CALL, 2},     {AdifTag::FREQ, 3},
        {AdifTag::BAND, 4},     {AdifTag::MODE, 5},    {AdifTag::RST_SENT, 6}, {AdifTag::RST_RCVD, 7},
        {AdifTag::NAME, 8},     {AdifTag::QTH, 9},     {AdifTag::GRIDSQUARE, 10}, {AdifTag::COMMENT, 11}};
};

double seconds(QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e9;
}

// Processor time of the process: on a busy machine the wall time says little.
double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 250000;
    QTemporaryDir dir;
    const QString logPath = dir.filePath("BENCH.db");
    const QString adifPath = dir.filePath("bench.adi");
    BuildRandomLog(logPath, count);
    {
        LogConnection log(logPath, LogConnection::OpenExisting, "Velkor");
        writeAdif(adifPath, log.connectionName(), count);
    }
    std::printf("log %d QSOs, ADIF file %d QSOs, %.1f MB; the median of 3 runs; memory: growth of the peak "
                "resident memory\n",
                count, count, QFile(adifPath).size() / 1e6);

    // Each child opens its own connections (none may cross a fork).
    std::unique_ptr<LogConnection> log;
    std::unique_ptr<TDxccList> dxcc;
    std::unique_ptr<TImportStaging> staging;
    TImportOptions options;
    options.CheckDupes = true;
    options.OwnLocator = "JN79SX";
    options.Power = 100;
    const QString stagingDir = dir.path() + "/staging/";
    QDir().mkpath(stagingDir);
    const auto openLog = [&](const QString &path) {
        log = std::make_unique<LogConnection>(path, LogConnection::OpenExisting, "Velkor");
        dxcc = std::make_unique<TDxccList>(VELKOR_STAGE_DIR "/");
        staging = std::make_unique<TImportStaging>(stagingDir);
    };
    const auto read = [&] {
        TImportDupeIndex dupes(log->connectionName());
        TAdifImport reader(*staging, options, dxcc.get(), &dupes);
        reader.ReadFile(adifPath);
        std::printf("    staged %d, skipped %d, errors %d, warnings %d\n", staging->Imported, staging->Skipped,
                    staging->Errors, staging->Warnings);
    };
    const QString floorStaging = dir.filePath("floor.db");
    PrintSideBySide("read with duplicate check", TBenchSide{[&] { openLog(logPath); }, read},
                    TBenchSide{[&] { NewFloorStaging(floorStaging); }, [&] { FloorReader(logPath, floorStaging).Read(adifPath); }});

    if (argc > 2 && QByteArray(argv[2]) == "read")
        return 0;

    // The append changes the log: every run works on a fresh copy of it, the staged
    // records read (untimed) by the import itself.
    const QString copyPath = dir.filePath("COPY.db");
    const auto freshCopy = [&] {
        QFile::remove(copyPath);
        QFile::copy(logPath, copyPath);
    };
    PrintSideBySide("append of the staged records",
                    TBenchSide{[&] {
                                   freshCopy();
                                   openLog(copyPath);
                                   read();
                               },
                               [&] {
                                   const qint64 appended = staging->AppendTo(log->connectionName());
                                   std::printf("    appended %lld; the log now holds %lld\n", appended,
                                               LogTable(log->connectionName()).RecordCount());
                               }},
                    TBenchSide{[&] {
                                   freshCopy();
                                   openLog(copyPath);
                                   read();
                                   QFile::remove(floorStaging + ".src");
                                   QFile::copy(staging->FilePath(), floorStaging + ".src");
                                   staging.reset();
                                   log.reset();
                                   DropIndexes(copyPath, LookUpIndexes);
                               },
                               [&] { FloorAppend(copyPath, floorStaging + ".src"); }});
    QFile::remove(floorStaging + ".src");

    return 0;
}

#include "ImportDupeIndex.h"

#include "DatabaseError.h"
#include "Formats.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTime>

#include <cstring>
#include <string>
#include <unordered_set>

namespace
{

// The five compared values in a compact form: a log of a quarter of a million QSOs
// costs some twenty-five megabytes. Empty values are numbers no real value takes.
struct TDupeKey {
    int date = -1; // yyyymmdd
    int time = -1; // seconds of the day
    int mode = -1;
    std::string freq; // empty, or as the ADIF export writes it (see freqText)
    std::string call; // short enough to stay inside the object

    bool operator==(const TDupeKey &o) const
    {
        return date == o.date && time == o.time && mode == o.mode && freq == o.freq && call == o.call;
    }
};

struct TDupeKeyHash {
    size_t operator()(const TDupeKey &k) const
    {
        size_t h = std::hash<std::string>()(k.call) ^ (std::hash<std::string>()(k.freq) << 1);
        h ^= std::hash<long long>()((long long)k.date * 100000 + k.time) + 0x9e3779b97f4a7c15ULL + (h << 6) +
             (h >> 2);
        return h ^ (size_t(k.mode) << 1);
    }
};

// A frequency as the ADIF export writes it, rounded to four decimals: a log exported and
// read back finds its own QSOs although 28.076249 came back as 28.0762. The export's own
// rounding is used, so that the two can never disagree at a half.
std::string freqText(double freq)
{
    return Formats::formatFloat(QStringLiteral("0.0000"), freq).toStdString();
}

// "YYYY-MM-DD" as the log stores dates.
int storedDate(const QVariant &v)
{
    const QString s = v.toString();
    if (v.isNull() || s.size() != 10)
        return v.isNull() ? -1 : -2;
    bool ok1, ok2, ok3;
    const int y = s.left(4).toInt(&ok1), m = s.mid(5, 2).toInt(&ok2), d = s.mid(8, 2).toInt(&ok3);
    return ok1 && ok2 && ok3 ? y * 10000 + m * 100 + d : -2;
}

// "HH:MM:SS" as the log stores times.
int storedTime(const QVariant &v)
{
    const QString s = v.toString();
    if (v.isNull() || s.size() < 8)
        return v.isNull() ? -1 : -2;
    bool ok1, ok2, ok3;
    const int h = s.left(2).toInt(&ok1), m = s.mid(3, 2).toInt(&ok2), sec = s.mid(6, 2).toInt(&ok3);
    return ok1 && ok2 && ok3 ? h * 3600 + m * 60 + sec : -2;
}

TDupeKey keyOfRecord(const TLogRecord &r)
{
    TDupeKey k;
    const QDate date = r[fiDAT].toDate();
    if (date.isValid())
        k.date = date.year() * 10000 + date.month() * 100 + date.day();
    const QTime time = r[fiUTC].toTime();
    if (time.isValid())
        k.time = time.msecsSinceStartOfDay() / 1000;
    if (!IsEmptyLogValue(r[fiMODE]))
        k.mode = r[fiMODE].toInt();
    if (!IsEmptyLogValue(r[fiFREQ]))
        k.freq = freqText(r[fiFREQ].toDouble());
    k.call = r[fiCALL].toString().toStdString();
    return k;
}

} // namespace

struct TImportDupeIndex::Private {
    std::unordered_set<TDupeKey, TDupeKeyHash> keys;
};

TImportDupeIndex::TImportDupeIndex(const QString &connectionName) : d(std::make_unique<Private>())
{
    QSqlQuery q(QSqlDatabase::database(connectionName, false));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT DAT,UTC,FREQ,MODE,CALL FROM %1").arg(LogTableName)))
        throw EDatabaseError(QStringLiteral("Chyba při čtení deníku!\n%1").arg(q.lastError().text()));
    while (q.next()) {
        TDupeKey k;
        k.date = storedDate(q.value(0));
        k.time = storedTime(q.value(1));
        if (!q.value(2).isNull())
            k.freq = freqText(q.value(2).toDouble());
        if (!q.value(3).isNull())
            k.mode = q.value(3).toInt();
        k.call = q.value(4).toString().toStdString();
        d->keys.insert(std::move(k));
    }
}

TImportDupeIndex::~TImportDupeIndex() = default;

bool TImportDupeIndex::Contains(const TLogRecord &record) const
{
    return d->keys.contains(keyOfRecord(record));
}

qsizetype TImportDupeIndex::Count() const
{
    return qsizetype(d->keys.size());
}

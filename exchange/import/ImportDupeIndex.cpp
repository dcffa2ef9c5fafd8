#include "import/ImportDupeIndex.h"

#include "base/DatabaseError.h"
#include "base/Formats.h"
#include "base/SqlitePageCache.h"
#include "base/SqliteStatement.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>

#include <sqlite3.h>
#include <QTime>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace
{

// The five compared values in a compact form: a log of a quarter of a million QSOs
// costs some twenty-five megabytes. Empty values are numbers no real value takes.
// A frequency's key stands for its text as the ADIF export writes it, rounded to four
// decimals (see freqText): the whole number of its digits (14,0250 is 140250) where the
// text is one, else the number the few other texts of the log are given, from
// FreqFirstText on (a text no QSO of the log has is FreqUnknownText, which meets none).
// The key stays as small as the hash's own nodes allow: each look-up reads one.
inline constexpr long long FreqEmpty = std::numeric_limits<long long>::min();
inline constexpr long long FreqUnknownText = FreqEmpty + 1;
inline constexpr long long FreqFirstText = FreqEmpty + 2;

struct TDupeKey {
    int date = -1; // yyyymmdd
    int time = -1; // seconds of the day
    int mode = -1;
    long long freq = FreqEmpty;
    std::string call; // short enough to stay inside the object

    bool operator==(const TDupeKey &o) const
    {
        return date == o.date && time == o.time && mode == o.mode && freq == o.freq && call == o.call;
    }
};

// The frequency texts that are no plain digits, with their numbers; the log's pass adds
// to it, the look-ups only read it.
struct TFreqTexts {
    std::unordered_map<std::string, long long> numbers;
    bool adding = true;

    long long numberOf(const std::string &text)
    {
        const auto it = numbers.find(text);
        if (it != numbers.end())
            return it->second;
        if (!adding)
            return FreqUnknownText;
        const long long number = FreqFirstText + (long long)numbers.size();
        numbers.emplace(text, number);
        return number;
    }
};

struct TDupeKeyHash {
    size_t operator()(const TDupeKey &k) const
    {
        size_t h = std::hash<std::string>()(k.call) ^ (std::hash<long long>()(k.freq) << 1);
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
    static const Formats::FloatPattern pattern(u"0.0000");
    QByteArray text;
    Formats::appendFloat(text, pattern, freq, ',');
    return text.toStdString();
}

void setFreqOfText(TDupeKey &k, const std::string &text, TFreqTexts &texts)
{
    long long digits = 0;
    int count = 0;
    for (const char c : text) {
        if (c == ',')
            continue;
        if (c < '0' || c > '9' || ++count > 18) {
            k.freq = texts.numberOf(text);
            return;
        }
        digits = digits * 10 + (c - '0');
    }
    k.freq = digits;
}

void setFreq(TDupeKey &k, double freq, TFreqTexts &texts)
{
    // The export first takes 15 significant digits, then rounds them to four decimals.
    // Where the frequency in ten-thousandths lies clearly off a half, the first step
    // cannot move it across one (it moves it by less than 1e-14 of itself), and the
    // second is the rounding of that number: the text is then known without writing it.
    if (freq >= 1e-3 && freq < 1e9) {
        const double units = freq * 1e4;
        const double below = std::floor(units);
        const double fraction = units - below;
        if (std::abs(fraction - 0.5) > units * 1e-13) {
            k.freq = (long long)below + (fraction > 0.5 ? 1 : 0);
            return;
        }
    }
    setFreqOfText(k, freqText(freq), texts);
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

// Whether the column holds text of exactly this shape, "9" standing for a digit and
// any other character for itself; the digits are then read into `numbers`.
bool digitsOfShape(sqlite3_stmt *stmt, int column, const char *shape, int *numbers)
{
    const int length = int(std::strlen(shape));
    if (sqlite3_column_type(stmt, column) != SQLITE_TEXT || sqlite3_column_bytes(stmt, column) != length)
        return false;
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    int part = 0;
    numbers[0] = 0;
    for (int i = 0; i < length; ++i) {
        if (shape[i] == '9') {
            if (text[i] < '0' || text[i] > '9')
                return false;
            numbers[part] = numbers[part] * 10 + (text[i] - '0');
        } else if (text[i] != shape[i]) {
            return false;
        } else {
            numbers[++part] = 0;
        }
    }
    return true;
}

bool canonicalDate(sqlite3_stmt *stmt, int column, int &date)
{
    int n[3];
    if (!digitsOfShape(stmt, column, "9999-99-99", n))
        return false;
    date = n[0] * 10000 + n[1] * 100 + n[2];
    return true;
}

bool canonicalTime(sqlite3_stmt *stmt, int column, int &time)
{
    int n[3];
    if (!digitsOfShape(stmt, column, "99:99:99", n))
        return false;
    time = n[0] * 3600 + n[1] * 60 + n[2];
    return true;
}

// The call as UTF-8; an ASCII text (nearly every call) is copied as it stands.
void setCall(TDupeKey &k, const QVariant &call)
{
    if (call.typeId() == QMetaType::QString) {
        const QString &text = *static_cast<const QString *>(call.constData());
        k.call.resize(size_t(text.size()));
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].unicode() >= 0x80) {
                k.call = text.toStdString();
                return;
            }
            k.call[size_t(i)] = char(text[i].unicode());
        }
        return;
    }
    k.call = call.toString().toStdString();
}

TDupeKey keyOfRecord(const TLogRecord &r, TFreqTexts &texts)
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
        setFreq(k, r[fiFREQ].toDouble(), texts);
    setCall(k, r[fiCALL]);
    return k;
}

} // namespace

struct TImportDupeIndex::Private {
    std::unordered_set<TDupeKey, TDupeKeyHash> keys;
    TFreqTexts freqTexts;
};

TImportDupeIndex::TImportDupeIndex(const QString &connectionName) : d(std::make_unique<Private>())
{
    // Read on SQLite's own interface: a QVariant for each of a million values costs more
    // than the hash. A value in the form the log stores it is taken from its bytes; any
    // other goes the way Qt's driver would hand it over.
    const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    // One pass over the whole log: through SQLite's own small page cache, not the log's.
    const TSqlitePageCache scanCache(db, TSqlitePageCache::SqliteDefault);
    TSqliteStatement q(db, QStringLiteral("SELECT DAT,UTC,FREQ,MODE,CALL FROM %1").arg(LogTableName),
                       QStringLiteral("Chyba při čtení deníku!"));
    {
        TSqliteStatement count(db,
                               QStringLiteral("SELECT count(*) FROM %1").arg(LogTableName),
                               QStringLiteral("Chyba při čtení deníku!"));
        if (count.Step())
            d->keys.reserve(size_t(sqlite3_column_int64(count.get(), 0)));
    }
    sqlite3_stmt *stmt = q.get();
    while (q.Step()) {
        TDupeKey k;
        if (!canonicalDate(stmt, 0, k.date))
            k.date = storedDate(q.ColumnValue(0));
        if (!canonicalTime(stmt, 1, k.time))
            k.time = storedTime(q.ColumnValue(1));
        switch (sqlite3_column_type(stmt, 2)) {
        case SQLITE_NULL:
            break;
        case SQLITE_FLOAT:
        case SQLITE_INTEGER:
            setFreq(k, sqlite3_column_double(stmt, 2), d->freqTexts);
            break;
        default:
            setFreq(k, q.ColumnValue(2).toDouble(), d->freqTexts);
        }
        switch (sqlite3_column_type(stmt, 3)) {
        case SQLITE_NULL:
            break;
        case SQLITE_INTEGER:
            k.mode = int(sqlite3_column_int64(stmt, 3));
            break;
        default:
            k.mode = q.ColumnValue(3).toInt();
        }
        if (sqlite3_column_type(stmt, 4) == SQLITE_TEXT)
            k.call.assign(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 4)),
                          size_t(sqlite3_column_bytes(stmt, 4)));
        else
            k.call = q.ColumnValue(4).toString().toStdString();
        d->keys.insert(std::move(k));
    }
    d->freqTexts.adding = false;
}

TImportDupeIndex::~TImportDupeIndex() = default;

bool TImportDupeIndex::Contains(const TLogRecord &record) const
{
    return d->keys.contains(keyOfRecord(record, d->freqTexts));
}

qsizetype TImportDupeIndex::Count() const
{
    return qsizetype(d->keys.size());
}

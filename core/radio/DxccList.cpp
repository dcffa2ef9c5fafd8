#include "radio/DxccList.h"

#include "base/CaseFold.h"
#include "base/DatabaseError.h"
#include "base/HotJournal.h"
#include "base/MessageTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include <algorithm>
#include <cmath>

namespace
{

constexpr int FieldCount = 9;

bool prefixLess(const TDxccRow &a, const TDxccRow &b)
{
    return a.Prefix < b.Prefix;
}

// A text of plain ASCII of 1 to MaxCompared characters as one number (7 bits a character
// and the length), so that a prefix is found without a string; 0 for any other text.
quint64 packedPrefix(QStringView text)
{
    if (text.isEmpty() || text.size() > TDxccList::MaxCompared)
        return 0;
    quint64 packed = 0;
    for (const QChar c : text) {
        if (c.unicode() == 0 || c.unicode() >= 0x80)
            return 0;
        packed = packed << 7 | c.unicode();
    }
    return packed << 3 | quint64(text.size());
}

// Suffixes that tell how a station works, not where: the call answers as without them.
bool isPortableSuffix(QStringView suffix)
{
    return suffix == u"P" || suffix == u"M" || suffix == u"QRP" || suffix == u"QRPP";
}

TDxccRow rowFrom(const QSqlQuery &query, bool withKind)
{
    TDxccRow row;
    row.Prefix = query.value(0).toString();
    row.Dxcc = query.value(1).toString();
    row.Name = query.value(2).toString();
    row.Longitude = query.value(3).toDouble();
    row.Latitude = query.value(4).toDouble();
    row.Cont = query.value(5).toString();
    row.Utc = query.value(6).toDouble();
    row.Itu = query.value(7).toInt();
    row.Waz = query.value(8).toInt();
    row.EntityOnly = withKind && query.value(FieldCount).toInt() != 0;
    return row;
}

} // namespace

TDxccList::TDxccList(const QString &appDir, QObject *parent) : QObject(parent)
{
    load(QDir(appDir).filePath(QStringLiteral("dxcc.db")));
    buildIndex();
    m_current = m_rows.isEmpty() ? -1 : 0;
}

void TDxccList::load(const QString &path)
{
    const QString failure = MsgDatabaseCannotOpen(QDir::toNativeSeparators(path));
    if (!QFileInfo(path).isFile())
        throw EDatabaseError(failure);
    // The read-only opening below cannot undo a write that was cut short.
    QString recoveryError;
    if (RollBackHotJournal(path, &recoveryError) == TJournalRecovery::Failed)
        throw EDatabaseError(failure + QLatin1Char('\n') + recoveryError);

    const QString connection =
        QStringLiteral("dxcclist-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open())
            readTables(db, error);
        else
            error = db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!error.isEmpty()) {
        m_rows.clear();
        m_calls.clear();
        throw EDatabaseError(failure + QLatin1Char('\n') + error);
    }
    // The lookup compares prefixes the way they are sorted here; the stable sort keeps
    // the table's order of equal prefixes.
    std::stable_sort(m_rows.begin(), m_rows.end(), prefixLess);
}

void TDxccList::readTables(QSqlDatabase &db, QString &error)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // The fields are read by position, so any table with the nine fields in order serves.
    if (!query.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY PREFIX").arg(DxccTableName)))
        error = query.lastError().text();
    else if (query.record().count() < FieldCount)
        error = QStringLiteral("the table has %1 fields instead of %2").arg(query.record().count()).arg(FieldCount);
    const bool withKind = query.record().count() > FieldCount;
    while (error.isEmpty() && query.next())
        m_rows.append(rowFrom(query, withKind));
    if (error.isEmpty() && query.lastError().isValid())
        error = query.lastError().text();
    if (!error.isEmpty() || !db.tables().contains(DxccCallTableName))
        return;

    QSqlQuery calls(db);
    calls.setForwardOnly(true);
    if (!calls.exec(QStringLiteral("SELECT * FROM \"%1\"").arg(DxccCallTableName)) ||
        calls.record().count() < FieldCount) {
        error = calls.lastError().isValid() ? calls.lastError().text()
                                            : QStringLiteral("the table of exact calls lacks fields");
        return;
    }
    while (calls.next()) {
        TDxccRow row = rowFrom(calls, false);
        m_calls.insert(row.Prefix, row);
    }
    if (calls.lastError().isValid())
        error = calls.lastError().text();
}

void TDxccList::buildIndex()
{
    for (int i = 0; i < IndexCharCount; ++i) {
        const QString c{QLatin1Char(IndexChars[i])};
        const auto it =
            std::lower_bound(m_rows.cbegin(), m_rows.cend(), c,
                             [](const TDxccRow &row, const QString &key) { return row.Prefix < key; });
        m_firstCharIndex[i] =
            (it != m_rows.cend() && it->Prefix.startsWith(c)) ? int(it - m_rows.cbegin()) + 1 : -1;
    }
    m_firstCharIndex[IndexCharCount] = int(m_rows.size()) + 1;
    m_longestPrefix.fill(0);
    for (const TDxccRow &row : std::as_const(m_rows)) {
        const qsizetype p = row.Prefix.isEmpty() ? -1 : QLatin1String(IndexChars, IndexCharCount).indexOf(row.Prefix.at(0));
        if (p >= 0)
            m_longestPrefix[size_t(p)] = qMax(m_longestPrefix[size_t(p)], int(row.Prefix.size()));
    }

    for (int i = 0; i < m_rows.size(); ++i) {
        if (!m_firstRowOfDxcc.contains(m_rows.at(i).Dxcc))
            m_firstRowOfDxcc.insert(m_rows.at(i).Dxcc, i);
    }

    // Nearly every call of a log is no exact call: a bit for each call's hash, small
    // enough to stay in the processor's cache, spares most look-ups in the large table.
    m_exactCallBits.assign(FilterBits / 64, 0);
    for (auto it = m_calls.cbegin(); it != m_calls.cend(); ++it) {
        const size_t bit = exactCallBit(it.key());
        m_exactCallBits[bit / 64] |= quint64(1) << (bit % 64);
    }

    // The row a prefix of an ASCII call answers with: the last of the rows of that
    // prefix, unless that one stands for an entity only. The rows are sorted, so the
    // last one of equal prefixes is written last.
    m_rowOfPrefix.clear();
    for (int i = 0; i < m_rows.size(); ++i) {
        if (const quint64 key = packedPrefix(m_rows.at(i).Prefix)) {
            if (m_rows.at(i).EntityOnly)
                m_rowOfPrefix.remove(key);
            else
                m_rowOfPrefix.insert(key, i);
        }
    }
    // Most lengths of a call find no prefix: the same kind of bit filter spares their look-ups.
    m_prefixBits.assign(FilterBits / 64, 0);
    for (auto it = m_rowOfPrefix.cbegin(); it != m_rowOfPrefix.cend(); ++it) {
        const size_t bit = prefixBit(it.key());
        m_prefixBits[bit / 64] |= quint64(1) << (bit % 64);
    }
}

size_t TDxccList::exactCallBit(QStringView call)
{
    return size_t(qHash(call, size_t(0))) % FilterBits;
}

size_t TDxccList::prefixBit(quint64 packed)
{
    return size_t((packed * 0x9E3779B97F4A7C15ULL) >> 46) % FilterBits;
}

bool TDxccList::mayBePrefix(quint64 packed) const
{
    const size_t bit = prefixBit(packed);
    return !m_prefixBits.empty() && (m_prefixBits[bit / 64] >> (bit % 64) & 1) != 0;
}

bool TDxccList::mayBeExactCall(QStringView call) const
{
    const size_t bit = exactCallBit(call);
    return !m_exactCallBits.empty() && (m_exactCallBits[bit / 64] >> (bit % 64) & 1) != 0;
}

// The exact call that answers for the call: the call itself, else the call without its
// portable suffixes ("AA0NN/P" as "AA0NN"), never a call it merely begins with.
const TDxccRow *TDxccList::exactCall(const QString &upperCall) const
{
    if (m_calls.isEmpty())
        return nullptr;
    QString call = upperCall;
    for (;;) {
        if (mayBeExactCall(call)) {
            const auto it = m_calls.constFind(call);
            if (it != m_calls.constEnd())
                return &it.value();
        }
        const qsizetype slash = call.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0 || !isPortableSuffix(QStringView(call).mid(slash + 1)))
            return nullptr;
        call.truncate(slash);
    }
}

bool TDxccList::FindCall(const QString &call)
{
    m_found = false;
    m_exactCall = nullptr;
    int best = -1;
    // Only a to z: every prefix is plain ASCII, and a letter outside ASCII must stay
    // outside the index whatever its case.
    const QString upper = UpperAscii(call);
    const TDxccRow *exact = call.isEmpty() ? nullptr : exactCall(upper);
    if (exact) {
        best = entityRow(exact->Dxcc);
        m_exactCall = exact;
    } else if (!call.isEmpty()) {
        if (call.startsWith(QLatin1String("KG4"))) // exact case: "kg4..." goes through the prefixes
            best = entityRow(call.size() == 5 ? QStringLiteral("KG4") : QStringLiteral("K"));
        else
            best = longestPrefixRow(QStringView(upper).left(MaxCompared));
    }
    if (best >= 0)
        m_current = best;
    m_found = best >= 0 || m_exactCall;
    emit OnChange();
    return m_found;
}

// The longest prefix of `text` among the rows of its first character's bucket; among
// equal prefixes the last row. The bucket is sorted, so each candidate length is one
// binary search instead of a walk over the whole bucket.
int TDxccList::longestPrefixRow(QStringView text) const
{
    const int p = int(QLatin1String(IndexChars, IndexCharCount).indexOf(text.at(0))); // 0-based
    if (p < 0 || m_firstCharIndex[p] == -1)
        return -1;
    int q = p + 1;
    while (m_firstCharIndex[q] == -1) // the last element (count + 1) is never -1
        ++q;
    const auto first = m_rows.cbegin() + (m_firstCharIndex[p] - 1);
    const auto end = m_rows.cbegin() + (m_firstCharIndex[q] - 1);

    // No prefix of the bucket is longer than its longest one.
    const qsizetype longest = qMin<qsizetype>(text.size(), m_longestPrefix[size_t(p)]);
    if (packedPrefix(text.left(longest)) != 0) {
        for (qsizetype length = longest; length > 0; --length) {
            const quint64 key = packedPrefix(text.left(length));
            if (!mayBePrefix(key))
                continue;
            const auto it = m_rowOfPrefix.constFind(key);
            if (it != m_rowOfPrefix.constEnd())
                return it.value();
        }
        return -1;
    }
    for (qsizetype length = longest; length > 0; --length) {
        const QStringView key = text.left(length);
        const auto after = std::upper_bound(
            first, end, key, [](QStringView k, const TDxccRow &row) { return k.compare(row.Prefix) < 0; });
        if (after != first && (after - 1)->Prefix == key && !(after - 1)->EntityOnly)
            return int(after - 1 - m_rows.cbegin());
    }
    return -1;
}

// The row that stands for an entity: the one whose prefix is the DXCC code itself, which
// carries the entity's own data, else the first row naming the code.
int TDxccList::entityRow(const QString &dxcc) const
{
    if (dxcc.isEmpty())
        return -1;
    auto it = std::lower_bound(m_rows.cbegin(), m_rows.cend(), dxcc,
                               [](const TDxccRow &row, const QString &key) { return row.Prefix < key; });
    for (; it != m_rows.cend() && it->Prefix == dxcc; ++it) {
        if (it->Dxcc == dxcc)
            return int(it - m_rows.cbegin());
    }
    return m_firstRowOfDxcc.value(dxcc, -1);
}

bool TDxccList::FindDxcc(const QString &dxcc)
{
    m_found = false;
    m_exactCall = nullptr;
    const int row = entityRow(dxcc.toUpper());
    if (row >= 0) {
        m_found = true;
        m_current = row;
    }
    emit OnChange();
    return m_found;
}

void TDxccList::SetFound(bool value)
{
    m_found = value;
    emit OnChange();
}

const TDxccRow *TDxccList::current() const
{
    if (!m_found)
        return nullptr;
    if (m_exactCall)
        return m_exactCall;
    return m_current >= 0 ? &m_rows.at(m_current) : nullptr;
}

QString TDxccList::GetDxcc() const
{
    const TDxccRow *row = current();
    return row ? row->Dxcc : QString();
}

// After an exact call: the prefix of the entity's row, which is what the list shows.
QString TDxccList::GetPrefix() const
{
    if (!m_found)
        return QString();
    if (m_exactCall && (m_current < 0 || m_rows.at(m_current).Dxcc != m_exactCall->Dxcc))
        return m_exactCall->Prefix; // an entity the table has no row for
    return m_current >= 0 ? m_rows.at(m_current).Prefix : QString();
}

QString TDxccList::GetName() const
{
    const TDxccRow *row = current();
    return row ? row->Name : QString();
}

QString TDxccList::GetContinentName() const
{
    const TDxccRow *row = current();
    if (!row)
        return QString();
    static const QHash<QString, QString> names{
        {QStringLiteral("AF"), QStringLiteral("Afrika")},
        {QStringLiteral("AS"), QStringLiteral("Asie")},
        {QStringLiteral("EU"), QStringLiteral("Evropa")},
        {QStringLiteral("NA"), QStringLiteral("S. Amerika")},
        {QStringLiteral("OC"), QStringLiteral("Oceánie")},
        {QStringLiteral("SA"), QStringLiteral("J. Amerika")},
    };
    return names.value(row->Cont);
}

int TDxccList::GetUtcOffset() const
{
    const TDxccRow *row = current();
    // Whole hours, a half to the even neighbour (India's -5.5 gives -6).
    return row ? int(std::nearbyint(row->Utc)) : 0;
}

double TDxccList::GetLatitude() const
{
    const TDxccRow *row = current();
    return row ? row->Latitude : 0;
}

double TDxccList::GetLongitude() const
{
    const TDxccRow *row = current();
    return row ? row->Longitude : 0;
}

int TDxccList::GetITU() const
{
    const TDxccRow *row = current();
    return row ? row->Itu : 0;
}

int TDxccList::GetWAZ() const
{
    const TDxccRow *row = current();
    return row ? row->Waz : 0;
}

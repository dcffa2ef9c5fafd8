#include "import/SourceRowOrder.h"

#include "import/SourceTable.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

namespace {

// A key value as the order compares it: its class (0 none or unreadable, 1 a value of
// the field's type, 2 a text) and, for the last two, the value.
struct TKeyValue {
    int rank = 0;
    QVariant value;
};
using TRowKey = std::vector<TKeyValue>;

constexpr int FoldBits = 30;
constexpr qint64 FoldTop = (qint64(1) << FoldBits) - 1;
constexpr qint64 FoldMiddle = qint64(1) << (FoldBits - 1);
constexpr int TextFoldBytes = 3; // 257^3 values fit the fold
constexpr int MaxFoldedTextBytes = 30;

// Whether a field holds text; any other field holds raw bytes only where its value
// could not be read (a date "2006xx01"), and those count as no value.
bool isTextField(const TSourceField &field)
{
    return field.type == 'C' || field.type == 'A' || field.type == 'M';
}

TKeyValue keyValue(const TSourceTable &source, int row, int field)
{
    if (field < 0)
        return {};
    QVariant value = source.Value(row, field);
    const bool bytes = value.typeId() == QMetaType::QByteArray;
    if (value.isNull() || (bytes && !isTextField(source.Fields()[field])))
        return {};
    return {bytes ? 2 : 1, std::move(value)};
}

TRowKey rowKey(const TSourceTable &source, int row, const QList<int> &fields)
{
    TRowKey key;
    key.reserve(size_t(fields.size()));
    for (int field : fields)
        key.push_back(keyValue(source, row, field));
    return key;
}

bool keyLess(const TRowKey &a, const TRowKey &b)
{
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].rank != b[i].rank)
            return a[i].rank < b[i].rank;
        const QPartialOrdering order = QVariant::compare(a[i].value, b[i].value);
        if (order == QPartialOrdering::Less)
            return true;
        if (order == QPartialOrdering::Greater)
            return false;
    }
    return false;
}

// The folded values 1 .. FoldTop - 1 stand for one value each; 0 and FoldTop also take
// everything below and above.
qint64 boundedFold(qint64 value)
{
    return std::clamp<qint64>(value, 0, FoldTop);
}

// Folds a key value into 32 bits so that a smaller value never folds larger and equal
// values fold alike. A value whose comparison is no plain order (a NaN, or a type other
// than the rest of its field's values) gives nothing: such keys need the comparison of
// whole keys. columnType is the type of the field's values so far.
// Texts fold three bytes from `offset` on, each as its value + 1 and 0 past the end, so
// that a text ending sooner comes first.
std::optional<quint32> fold(const TKeyValue &key, int &columnType, qsizetype offset = 0)
{
    qint64 value = 0;
    if (key.rank == 2) {
        const QByteArray bytes = key.value.toByteArray();
        for (qsizetype i = offset; i < offset + TextFoldBytes; ++i)
            value = value * 257 + (i < bytes.size() ? uchar(bytes[i]) + 1 : 0);
    } else if (key.rank == 1) {
        const int type = key.value.typeId();
        if (columnType == QMetaType::UnknownType)
            columnType = type;
        if (type != columnType)
            return std::nullopt;
        switch (type) {
        case QMetaType::Bool: value = key.value.toBool() ? 1 : 0; break;
        case QMetaType::Int:
        case QMetaType::LongLong:
            value = boundedFold(FoldMiddle + std::clamp(key.value.toLongLong(), -FoldMiddle, FoldMiddle));
            break;
        case QMetaType::Double: {
            const double number = key.value.toDouble();
            if (std::isnan(number))
                return std::nullopt;
            value = boundedFold(FoldMiddle + qint64(std::floor(std::clamp(number, -double(FoldMiddle), double(FoldMiddle)))));
            break;
        }
        case QMetaType::QDate: value = boundedFold(key.value.toDate().toJulianDay()); break;
        case QMetaType::QTime: value = key.value.toTime().msecsSinceStartOfDay(); break;
        case QMetaType::QDateTime: value = 0; break; // told apart by the whole comparison
        default: return std::nullopt;
        }
    }
    return quint32(key.rank) << FoldBits | quint32(value);
}

// Whether every value of the fold is one and the same key value, so that rows of equal
// folds are ordered by the next key alone.
bool isExactFold(quint32 folded, int columnType)
{
    const int rank = int(folded >> FoldBits);
    const qint64 value = folded & FoldTop;
    if (rank == 0)
        return true; // no value is like any other
    if (rank == 2)
        return value % 257 == 0; // the text ends within the folded bytes
    switch (columnType) {
    case QMetaType::Bool:
    case QMetaType::QTime: return true;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::QDate: return value > 0 && value < FoldTop;
    default: return false;
    }
}

} // namespace

TSourceRowOrder::TSourceRowOrder(const TSourceTable &source, const QStringList &keys)
{
    const QStringList names = source.LowerFieldNames();
    for (const QString &key : keys)
        m_keyFields << int(names.indexOf(key));
    m_order.resize(size_t(source.RowCount()));
    std::iota(m_order.begin(), m_order.end(), quint64(0));
    if (!orderRun(source, 0, m_order.size(), 0, 0))
        orderByKeys(source);
}

bool TSourceRowOrder::orderRun(const TSourceTable &source, size_t begin, size_t end, int field, qsizetype offset)
{
    if (field >= m_keyFields.size())
        return true; // equal keys: the table's order
    int columnType = QMetaType::UnknownType;
    for (size_t i = begin; i < end; ++i) {
        const quint32 row = quint32(m_order[i]);
        const std::optional<quint32> folded = fold(keyValue(source, int(row), m_keyFields[field]), columnType, offset);
        if (!folded)
            return false;
        m_order[i] = quint64(*folded) << 32 | row;
    }
    // The row number below the fold keeps the table's order among equal folds.
    std::sort(m_order.begin() + qsizetype(begin), m_order.begin() + qsizetype(end));
    for (size_t first = begin; first < end;) {
        const quint32 folded = quint32(m_order[first] >> 32);
        size_t last = first + 1;
        while (last < end && quint32(m_order[last] >> 32) == folded)
            ++last;
        if (last - first > 1 && !orderEqualFolds(source, first, last, field, offset, folded, columnType))
            return false;
        first = last;
    }
    return true;
}

bool TSourceRowOrder::orderEqualFolds(const TSourceTable &source, size_t begin, size_t end, int field,
                                      qsizetype offset, quint32 folded, int columnType)
{
    if (isExactFold(folded, columnType))
        return orderRun(source, begin, end, field + 1, 0);
    // Texts alike so far: their next bytes, up to the length of a key's text; longer
    // alike texts are compared whole.
    if (folded >> FoldBits == 2 && offset + TextFoldBytes < MaxFoldedTextBytes)
        return orderRun(source, begin, end, field, offset + TextFoldBytes);
    return orderRunByKeys(source, begin, end);
}

bool TSourceRowOrder::orderRunByKeys(const TSourceTable &source, size_t begin, size_t end)
{
    std::vector<TRowKey> keys;
    keys.reserve(end - begin);
    for (size_t i = begin; i < end; ++i)
        keys.push_back(rowKey(source, int(quint32(m_order[i])), m_keyFields));
    for (int field = 0; field < m_keyFields.size(); ++field) {
        int columnType = QMetaType::UnknownType;
        for (const TRowKey &key : keys)
            if (!fold(key[size_t(field)], columnType))
                return false;
    }
    std::vector<size_t> run(keys.size());
    std::iota(run.begin(), run.end(), size_t(0));
    std::stable_sort(run.begin(), run.end(), [&keys](size_t a, size_t b) { return keyLess(keys[a], keys[b]); });
    std::vector<quint64> rows(m_order.begin() + qsizetype(begin), m_order.begin() + qsizetype(end));
    for (size_t i = 0; i < run.size(); ++i)
        m_order[begin + i] = rows[run[i]];
    return true;
}

void TSourceRowOrder::orderByKeys(const TSourceTable &source)
{
    std::vector<TRowKey> keys;
    keys.reserve(size_t(source.RowCount()));
    for (int row = 0; row < source.RowCount(); ++row)
        keys.push_back(rowKey(source, row, m_keyFields));
    std::vector<int> rows(keys.size());
    std::iota(rows.begin(), rows.end(), 0);
    std::stable_sort(rows.begin(), rows.end(), [&keys](int a, int b) { return keyLess(keys[size_t(a)], keys[size_t(b)]); });
    m_order.assign(rows.begin(), rows.end());
}

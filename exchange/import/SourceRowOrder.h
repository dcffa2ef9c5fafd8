#pragma once
// The order in which an import reads the rows of an older table: by its key fields (the
// date and time of a QSO), as the table's own database sorted them. Within a key field
// an empty value, or one that cannot be read, comes first, then the values of the
// field's type, then texts; rows with equal keys keep the table's order.
//
// Only one key of each row is held at a time, folded into a number that keeps its order:
// the rows are ordered by the folded first key, rows of one day by the next key and so
// on, texts alike in their first bytes by their next ones; whole keys are compared only
// among rows whose folds cannot tell them apart (numbers with the same whole part,
// timestamps). Ordering a table costs 8 bytes a row, not a copy of it.

#include <QStringList>

#include <vector>

class TSourceTable;

class TSourceRowOrder
{
public:
    // keys: the lower-case names of the key fields, the first one deciding first. A name
    // the table lacks counts as an empty value in every row.
    TSourceRowOrder(const TSourceTable &source, const QStringList &keys);

    qsizetype Count() const { return qsizetype(m_order.size()); }
    // The row (0-based) to read at position i.
    int RowAt(qsizetype i) const { return int(m_order[size_t(i)] & 0xFFFFFFFFu); }

private:
    // Orders the rows at [begin, end), whose keys before `field` are equal (and, for a
    // text, its first `offset` bytes), by the keys from there on; false when the keys
    // need the comparison over the whole table.
    bool orderRun(const TSourceTable &source, size_t begin, size_t end, int field, qsizetype offset);
    // The rows at [begin, end) whose keys fold alike at `field`.
    bool orderEqualFolds(const TSourceTable &source, size_t begin, size_t end, int field, qsizetype offset,
                         quint32 folded, int columnType);
    bool orderRunByKeys(const TSourceTable &source, size_t begin, size_t end);
    void orderByKeys(const TSourceTable &source);

    QList<int> m_keyFields; // -1 for a field the table lacks
    std::vector<quint64> m_order; // the folded first key above the row number
};

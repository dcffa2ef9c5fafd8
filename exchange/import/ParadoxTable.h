#pragma once
// A Paradox table (.db) as older logbooks wrote them, read without the database engine:
// the header with its field descriptors and names, the chain of data blocks and the
// records in them, and memo texts from the .mb file beside the table. Versions 3 to 7,
// the field types a log table uses (alpha, date, time, timestamp, number, money, short,
// long, auto-increment, logical, memo). Encrypted tables are refused.

#include "import/SourceTable.h"

#include <QFile>

#include <memory>

class TParadoxTable : public TSourceTable
{
public:
    // Opens and checks the table; raises EFileError with SourceTableUnreadableText() when
    // the file is missing, damaged, truncated or encrypted, or when it has memo fields and
    // its .mb file is missing or not a memo file.
    explicit TParadoxTable(const QString &fileName);
    ~TParadoxTable() override;

    const QList<TSourceField> &Fields() const override { return m_fields; }
    int RowCount() const override { return int(m_records.size()); }
    QVariantList Row(int row) const override;
    QVariant Value(int row, int field) const override;

    int Version() const { return m_version; }
    int CodePage() const { return m_codePage; }

private:
    QVariant fieldValue(const uchar *data, const TSourceField &field) const;
    QVariant memoValue(const uchar *data, int size) const;
    void readHeader();
    void readFieldNames(qint64 offset);
    void readBlocks(int headerSize, int blockSize, int firstBlock, int blockCount);
    void openMemoFile(const QString &fileName);

    QFile m_file;
    const uchar *m_data = nullptr;
    qint64 m_size = 0;
    QFile m_memoFile;
    const uchar *m_memo = nullptr;
    qint64 m_memoSize = 0;
    QList<TSourceField> m_fields;
    QList<int> m_fieldOffsets; // of each field within a record
    QList<qint64> m_records; // file offset of each record
    int m_recordSize = 0;
    int m_version = 0;
    int m_codePage = 0;
};

#pragma once
// A read-only, ordered view of one table of a small SQLite reference file (the DXCC and
// IOTA lists, the callbook) for the list windows: the rows are read once per opening and
// kept in memory, with a current row, navigation, exact locate and the disable/enable
// counter of the bound views, as the log query offers them for the log.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

class TTableQuery : public QObject
{
    Q_OBJECT
public:
    explicit TTableQuery(QObject *parent = nullptr);

    // The SQLite file and the table inside it; take effect at the next Open.
    void SetTable(const QString &filePath, const QString &tableName);
    QString FilePath() const { return m_filePath; }
    // The field the rows are ordered by (one of the table's fields, letter case ignored);
    // rows equal in it keep the table's order. A field of text is ordered as Czech
    // dictionaries order words, empty fields first; a field of numbers by value.
    void SetOrderBy(const QString &fieldName);
    QString OrderBy() const { return m_orderBy; }

    // Reads the rows and stands on the first; raises EDatabaseError when the file or the
    // table cannot be read or the order field is not one of the table's (the query is
    // then closed). An open query is closed first.
    void Open();
    void Close();
    bool Active() const { return m_active; }

    QStringList FieldNames() const { return m_fields; }
    int FieldIndex(const QString &fieldName) const; // -1 when unknown

    int RecordCount() const { return int(m_rows.size()); }
    bool IsEmpty() const { return m_rows.empty(); }
    int RecNo() const { return m_pos + 1; } // 0 when empty or closed
    bool SetRecNo(int recNo);
    void First();
    void Last();
    void Next();
    void Prior();
    int MoveBy(int distance);
    bool Bof() const { return m_pos <= 0; }
    bool Eof() const { return m_pos < 0 || m_pos >= RecordCount() - 1; }

    // The first row, in order, whose field equals the value exactly (as text); false and no
    // move when there is none.
    bool Locate(const QString &fieldName, const QVariant &value);

    QVariant Value(int field) const;
    QVariant Value(const QString &fieldName) const;
    QVariant ValueAt(int row, int field) const;

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disabled > 0; }

signals:
    void afterScroll();
    // For bound views; held back while the controls are disabled.
    void viewReset();
    void viewCurrentChanged();

private:
    void sortTextInCzechOrder(int field);
    void moveTo(int row);
    void notify(bool reset);

    QString m_filePath;
    QString m_tableName;
    QString m_orderBy;
    bool m_active = false;
    QStringList m_fields;
    std::vector<std::vector<QVariant>> m_rows;
    int m_pos = -1;
    int m_disabled = 0;
    bool m_pendingReset = false;
    bool m_pendingScroll = false;
};

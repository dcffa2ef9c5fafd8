#pragma once
// The DXCC entity list: resolves a call sign or a DXCC code to its entity (DXCC code,
// matched prefix, name, continent, coordinates, UTC offset, ITU and WAZ zone) over the
// reference table dxcc.db in the program folder. One row per prefix; several rows may
// name the same entity and carry the data that holds for their prefix. Beside the
// prefixes the file may hold exact calls (table dxcc_call): each answers for its own call
// only, before any prefix, and never for a longer call that merely begins with it.
//
// The rows are read once, ordered by prefix, and kept in memory. The current row is the
// current entity; every getter answers the empty text or 0 while Found() is false.

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class QSqlDatabase;

#include <array>
#include <vector>

struct TDxccRow {
    QString Prefix;
    QString Dxcc;
    QString Name;
    double Longitude = 0; // degrees, east positive
    double Latitude = 0;  // degrees, north positive
    QString Cont;
    double Utc = 0; // hours; local time = UTC - value
    int Itu = 0;
    int Waz = 0;
    // The row of an entity that has no prefix of its own: listed, never matched as a prefix.
    bool EntityOnly = false;
};

// Name of the one table inside dxcc.db.
inline const QString DxccTableName = QStringLiteral("dxcc");
// Name of the table of exact calls inside dxcc.db (optional).
inline const QString DxccCallTableName = QStringLiteral("dxcc_call");

class TDxccList : public QObject
{
    Q_OBJECT
public:
    // The characters of the first-character index, in order (positions 1..37).
    static constexpr char IndexChars[] = "/0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static constexpr int IndexCharCount = 37;
    // Calls are compared on at most this many characters.
    static constexpr int MaxCompared = 7;

    // Reads dxcc.db from the program folder `appDir`; raises EDatabaseError when the file
    // is missing or cannot be read.
    explicit TDxccList(const QString &appDir, QObject *parent = nullptr);

    // Resolves a call sign: an exact call first (also with a portable suffix such as "/P"
    // that cty.dat does not list), then a call beginning "KG4" is Guantanamo Bay (DXCC
    // "KG4") with exactly 5 characters, else the USA ("K"); any other by the longest
    // matching prefix. After an exact call the current row is the entity's own row.
    bool FindCall(const QString &call);
    // Resolves a DXCC code (upper-cased first).
    bool FindDxcc(const QString &dxcc);
    // Sets Found (the current row stays) and notifies.
    void SetFound(bool value);
    bool Found() const { return m_found; }

    QString GetDxcc() const;
    QString GetPrefix() const;
    QString GetName() const;
    QString GetContinentName() const;
    int GetUtcOffset() const;
    double GetLatitude() const;
    double GetLongitude() const;
    int GetITU() const;
    int GetWAZ() const;

    // Element i (1..37): record number of the first row whose prefix begins with the i-th
    // index character, or -1; element 38: the row count + 1.
    int FirstCharIndex(int i) const { return m_firstCharIndex.at(i - 1); }
    // 1-based number of the current row; 0 when the table has no rows.
    int RecNo() const { return m_current + 1; }
    int RecordCount() const { return int(m_rows.size()); }
    // The rows in prefix order; record number n is Rows()[n - 1].
    const QList<TDxccRow> &Rows() const { return m_rows; }
    int ExactCallCount() const { return int(m_calls.size()); }

signals:
    // After every resolution attempt and every SetFound.
    void OnChange();

private:
    void load(const QString &path);
    void readTables(QSqlDatabase &db, QString &error);
    const TDxccRow *exactCall(const QString &upperCall) const;
    static size_t exactCallBit(QStringView call);
    bool mayBeExactCall(QStringView call) const;
    static size_t prefixBit(quint64 packed);
    bool mayBePrefix(quint64 packed) const;
    void buildIndex();
    int longestPrefixRow(QStringView upperCall) const;
    int entityRow(const QString &dxcc) const;
    const TDxccRow *current() const;

    QList<TDxccRow> m_rows;
    QHash<QString, TDxccRow> m_calls;     // exact call -> its data
    QHash<QString, int> m_firstRowOfDxcc; // DXCC code -> first row (0-based) naming it
    std::array<int, IndexCharCount + 1> m_firstCharIndex{};
    std::array<int, IndexCharCount> m_longestPrefix{}; // the longest prefix of each first character
    QHash<quint64, int> m_rowOfPrefix; // packed ASCII prefix -> the row it answers with
    static constexpr size_t FilterBits = size_t(1) << 18;
    std::vector<quint64> m_exactCallBits; // set at exactCallBit of every exact call
    std::vector<quint64> m_prefixBits;    // set at prefixBit of every key of m_rowOfPrefix
    int m_current = -1; // 0-based, -1 without rows
    const TDxccRow *m_exactCall = nullptr; // the data of the current entity after an exact call
    bool m_found = false;
};

#include "import/ImportStaging.h"

#include "base/DatabaseError.h"
#include "base/SqlitePageCache.h"
#include "import/EmptyValue.h"
#include "import/MessageFormat.h"
#include "log/VkrDatabase.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <algorithm>
#include <charconv>

TImportStaging::TImportStaging(const QString &tempDir) : m_path(tempDir + TableFileName)
{
    DefineLogTable(m_path);
    m_connection.open(m_path, LogConnection::OpenExisting);
    // Scratch data, rebuilt from the source on every import: no need to wait for the disk,
    // and no ordering indexes to keep up while it is filled (the review shows it by ID).
    QSqlQuery q(m_connection.database());
    q.exec(QStringLiteral("PRAGMA synchronous=OFF"));
    q.exec(QStringLiteral("PRAGMA journal_mode=MEMORY"));
    // Filled from first to last and read by the review a screen at a time: SQLite's own
    // small page cache serves it, where the log's large one would only hold memory.
    q.exec(QStringLiteral("PRAGMA cache_size=-2000"));
    QStringList indexes;
    if (q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type='index' AND sql IS NOT NULL")))
        while (q.next())
            indexes << q.value(0).toString();
    for (const QString &index : std::as_const(indexes))
        q.exec(QStringLiteral("DROP INDEX IF EXISTS \"%1\"").arg(index));
    m_table = std::make_unique<LogTable>(m_connection.connectionName());
}

TImportStaging::~TImportStaging()
{
    m_insert.reset();
    m_table.reset();
    m_connection.close();
    QFile::remove(m_path);
    QFile::remove(m_path + QStringLiteral("-journal"));
}

void TImportStaging::BeginFill()
{
    m_table->StartTransaction();
}

void TImportStaging::EndFill()
{
    m_table->Commit();
}

void TImportStaging::AbortFill()
{
    if (m_table->InTransaction())
        m_table->Rollback();
}

namespace
{

// "first<separator>second<separator>third", the last two of two digits each: the
// stored forms of dates and times.
void putThreeParts(std::string &out, int first, int firstWidth, char separator, int second, int third)
{
    char text[10];
    char *end = text + firstWidth + 6;
    const auto put = [](char *last, int value, int width) {
        for (int i = 0; i < width; ++i, value /= 10)
            *last-- = char('0' + value % 10);
    };
    put(end - 1, third, 2);
    end[-3] = separator;
    put(end - 4, second, 2);
    end[-6] = separator;
    put(end - 7, first, firstWidth);
    out.assign(text, size_t(end - text));
}

// The stored form of the value in `out`, for the values an importer holds in the field's
// own type: a date of the years 1 to 9999 "YYYY-MM-DD", a time "HH:MM:SS", a text in
// plain ASCII cut to the field's width. False for anything else, which then goes the
// general way with the same result.
bool storedText(int field, const QVariant &value, std::string &out)
{
    out.clear();
    switch (ImportValueTypeId(value)) {
    case QMetaType::QDate: {
        int year = 0, month = 0, day = 0;
        static_cast<const QDate *>(value.constData())->getDate(&year, &month, &day);
        if (LogFieldTypes[field] != ftDate || year < 1 || year > 9999)
            return false;
        putThreeParts(out, year, 4, '-', month, day);
        return true;
    }
    case QMetaType::QTime: {
        const QTime time = *static_cast<const QTime *>(value.constData());
        if (LogFieldTypes[field] != ftTime)
            return false;
        putThreeParts(out, time.hour(), 2, ':', time.minute(), time.second());
        return true;
    }
    case QMetaType::QString: {
        const QString &text = *static_cast<const QString *>(value.constData());
        if (LogFieldTypes[field] != ftString)
            return false;
        const int width = LogFieldSizes[field];
        const qsizetype length = width > 0 ? qMin<qsizetype>(text.size(), width) : text.size();
        out.resize(size_t(length));
        const QChar *chars = text.constData();
        for (qsizetype i = 0; i < length; ++i) {
            if (chars[i].unicode() >= 0x80)
                return false;
            out[size_t(i)] = char(chars[i].unicode());
        }
        return true;
    }
    default:
        return false;
    }
}

// The number in decimal digits, as QString::number writes it, without a string of its own.
void appendNumber(QString &out, int value)
{
    char digits[12];
    const char *end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(QLatin1StringView(digits, end - digits));
}

// The same text in the same buffer (Qt's sharing: never true of a literal's static data).
bool sameText(const QString &kept, const QVariant &value)
{
    const QString &text = *static_cast<const QString *>(value.constData());
    return kept.isSharedWith(text) && kept.constData() == text.constData() && kept.size() == text.size();
}

} // namespace

void TImportStaging::bindField(int field, const QVariant &value)
{
    // What LogValueToStorage and Bind would bind, without a QVariant and a QString for
    // each value on the way: these are most of what an import of a large file costs.
    sqlite3_stmt *stmt = m_insert->get();
    const int type = ImportValueTypeId(value);
    // A text shared with the one this field bound last (an importer hands over the same
    // text again and again) has the bytes bound then. The copy kept of it holds its
    // buffer, so no other text can stand at the same place meanwhile.
    QString &boundSource = m_boundSource[size_t(field)];
    if (type == QMetaType::QString && !boundSource.isEmpty() && sameText(boundSource, value)) {
        const std::string &text = m_boundText[size_t(field)];
        sqlite3_bind_text(stmt, field + 1, text.data(), int(text.size()), SQLITE_STATIC);
        return;
    }
    boundSource = QString();
    if (IsEmptyImportValue(value)) {
        sqlite3_bind_null(stmt, field + 1);
    } else if (type == QMetaType::Double && LogFieldTypes[field] == ftFloat) {
        sqlite3_bind_double(stmt, field + 1, *static_cast<const double *>(value.constData()));
    } else if (type == QMetaType::Int && LogFieldTypes[field] == ftSmallint &&
               *static_cast<const int *>(value.constData()) == qint16(*static_cast<const int *>(value.constData()))) {
        sqlite3_bind_int64(stmt, field + 1, *static_cast<const int *>(value.constData()));
    } else if (std::string &text = m_boundText[size_t(field)]; storedText(field, value, text)) {
        // The text stays in m_boundText until the row is written.
        sqlite3_bind_text(stmt, field + 1, text.data(), int(text.size()), SQLITE_STATIC);
        if (type == QMetaType::QString)
            boundSource = *static_cast<const QString *>(value.constData());
    } else {
        m_insert->Bind(field, LogValueToStorage(field, value));
    }
}

void TImportStaging::Post(const TLogRecord &record)
{
    // One statement prepared for the whole import, the ID given explicitly so that the
    // numbers of the message lines hold whatever the table did before.
    if (!m_insert)
        m_insert = std::make_unique<TSqliteStatement>(
            m_connection.database(),
            QStringLiteral("INSERT INTO %1 (%2) VALUES (?%3)")
                .arg(LogTableName, LogFieldListSql(), QStringLiteral(",?").repeated(LogFieldCount - 1)),
            QStringLiteral("Chyba při zápisu do tabulky importu!"));
    m_insert->BindInt(0, m_posted + 1);
    for (int field = 1; field < LogFieldCount; ++field)
        bindField(field, record[field]);
    m_insert->Execute();
    ++m_posted;
    ++Imported;
}

void TImportStaging::ResetCounters()
{
    Imported = Skipped = Errors = Warnings = 0;
}

bool TImportStaging::addLine(const QString &kind, const QString &format, const QVariantList &args,
                             int &counter)
{
    // "(n) kind: text", put together in a buffer that is kept for the next line, and
    // stored in a string of its own size (a file may bring a line for every record).
    QString &line = m_lineBuffer;
    line.clear();
    line.append(u'(');
    appendNumber(line, NextRecordNumber());
    line.append(u") ").append(kind).append(u": ");
    if (!AppendMessageText(line, format, args))
        return false;
    m_messages << QString(line.constData(), line.size());
    ++counter;
    return true;
}

bool TImportStaging::AddError(const QString &format, const QVariantList &args)
{
    return addLine(QStringLiteral("Chyba"), format, args, Errors);
}

bool TImportStaging::AddWarning(const QString &format, const QVariantList &args)
{
    return addLine(QStringLiteral("Varování"), format, args, Warnings);
}

void TImportStaging::RollBackMessages(const TMessageMark &mark)
{
    // The counts shown above the lines tell of the lines that stay.
    m_messages.resize(std::min(m_messages.size(), mark.lines));
    Errors = mark.errors;
    Warnings = mark.warnings;
}

void TImportStaging::ShowSummary()
{
    const QStringList summary{QStringLiteral("Importovaných QSO: %1").arg(Imported),
                              QStringLiteral("Vynechaných QSO: %1").arg(Skipped),
                              QStringLiteral("Počet chyb: %1").arg(Errors),
                              QStringLiteral("Počet varování: %1").arg(Warnings), SummaryRule};
    m_messages = summary + m_messages;
}

int TImportStaging::RecordNumberOfLine(const QString &line)
{
    if (!line.startsWith(u'('))
        return 0;
    const qsizetype close = line.indexOf(u')');
    if (close < 0)
        return 0;
    bool ok = false;
    const int number = line.mid(1, close - 1).toInt(&ok);
    return ok && number > 0 ? number : 0;
}

qint64 TImportStaging::AppendTo(const QString &logConnectionName)
{
    // The log's indexes take the new rows at scattered places: a larger page cache for
    // the append spares most of their re-reading.
    const TSqlitePageCache appendCache(QSqlDatabase::database(logConnectionName, false), -32768);
    return LogTable(logConnectionName).AppendFrom(m_path);
}

qint64 TImportStaging::RecordCount()
{
    return m_table->RecordCount();
}

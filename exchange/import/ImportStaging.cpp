#include "import/ImportStaging.h"

#include "base/DatabaseError.h"
#include "import/MessageFormat.h"
#include "log/VkrDatabase.h"

#include <QFile>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

TImportStaging::TImportStaging(const QString &tempDir) : m_path(tempDir + TableFileName)
{
    DefineLogTable(m_path);
    m_connection.open(m_path, LogConnection::OpenExisting);
    // Scratch data, rebuilt from the source on every import: no need to wait for the disk,
    // and no ordering indexes to keep up while it is filled (the review shows it by ID).
    QSqlQuery q(m_connection.database());
    q.exec(QStringLiteral("PRAGMA synchronous=OFF"));
    q.exec(QStringLiteral("PRAGMA journal_mode=MEMORY"));
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
        m_insert->Bind(field, LogValueToStorage(field, record[field]));
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
    const std::optional<QString> text = FormatMessageText(format, args);
    if (!text)
        return false;
    m_messages << QStringLiteral("(%1) %2: %3").arg(NextRecordNumber()).arg(kind, *text);
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

void TImportStaging::TruncateMessages(int count)
{
    while (m_messages.size() > qMax(count, 0))
        m_messages.removeLast();
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
    QSqlQuery pragma(QSqlDatabase::database(logConnectionName, false));
    pragma.exec(QStringLiteral("PRAGMA cache_size"));
    const QVariant previous = pragma.next() ? pragma.value(0) : QVariant();
    pragma.exec(QStringLiteral("PRAGMA cache_size=-32768"));
    const auto restore = qScopeGuard([&] {
        if (previous.isValid())
            pragma.exec(QStringLiteral("PRAGMA cache_size=%1").arg(previous.toLongLong()));
    });
    return LogTable(logConnectionName).AppendFrom(m_path);
}

qint64 TImportStaging::RecordCount()
{
    return m_table->RecordCount();
}

#include "base/SqliteStatement.h"

#include "base/DatabaseError.h"


#include <sqlite3.h>

TSqliteStatement::TSqliteStatement(const QSqlDatabase &db, const QString &sql, const QString &errorText)
    : m_handle(SqliteHandle(db)), m_errorText(errorText)
{
    if (!m_handle)
        throw EDatabaseError(m_errorText);
    if (sqlite3_prepare_v2(m_handle, sql.toUtf8().constData(), -1, &m_stmt, nullptr) != SQLITE_OK)
        Fail();
}

TSqliteStatement::~TSqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

bool TSqliteStatement::Step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        Fail();
    return false;
}

void TSqliteStatement::Execute()
{
    const int rc = sqlite3_step(m_stmt);
    sqlite3_reset(m_stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        Fail();
}

void TSqliteStatement::BindInt(int index, qint64 value)
{
    sqlite3_bind_int64(m_stmt, index + 1, value);
}

void TSqliteStatement::Bind(int index, const QVariant &value)
{
    const int i = index + 1;
    if (value.isNull()) {
        sqlite3_bind_null(m_stmt, i);
        return;
    }
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::Bool:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
        sqlite3_bind_int64(m_stmt, i, value.toLongLong());
        break;
    case QMetaType::Double:
        sqlite3_bind_double(m_stmt, i, value.toDouble());
        break;
    default: {
        const QByteArray text = value.toString().toUtf8();
        sqlite3_bind_text(m_stmt, i, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        break;
    }
    }
}

QVariant TSqliteStatement::ColumnValue(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(m_stmt, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, column);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(m_stmt, column)),
                          sqlite3_column_bytes(m_stmt, column));
    default:
        return ColumnText(column);
    }
}

QString TSqliteStatement::ColumnText(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    const int bytes = sqlite3_column_bytes(m_stmt, column);
    return bytes > 0 ? QString::fromUtf8(text, bytes) : QStringLiteral("");
}

void TSqliteStatement::Fail() const
{
    const char *file = sqlite3_db_filename(m_handle, "main");
    throw SqliteFailure(sqlite3_extended_errcode(m_handle), file ? QString::fromUtf8(file) : QString(), m_errorText);
}

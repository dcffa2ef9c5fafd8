#pragma once
// A new, empty log file in a temporary folder of its own, with a connection open on it:
// where most tests of the log table, the query and the log files begin. Everything goes
// with the object.

#include "log/LogConnection.h"

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>

class TempLog
{
public:
    // Creates <folder>/<name>.db as a log (CreateLogTable) and opens it; raises
    // EDatabaseError as CreateLogTable and LogConnection do.
    explicit TempLog(const QString &name = QStringLiteral("OK1ABC"));

    // The temporary folder; filePath names a file beside the log.
    QString folder() const { return m_dir.path(); }
    QString filePath(const QString &fileName) const { return m_dir.filePath(fileName); }
    QString path() const { return m_path; }

    QString connectionName() const { return m_connection.connectionName(); }
    QSqlDatabase database() const { return m_connection.database(); }
    // Closing it lets a test replace or damage the file; path() stays.
    LogConnection &connection() { return m_connection; }

    // Runs one SQL statement on the log outside the program's routines (to prepare or
    // damage a file); false, with the database's message as a warning, when it fails.
    bool exec(const QString &sql) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
    LogConnection m_connection;
};

#pragma once
// A named Qt Sql connection on one SQLite table file (a log, or a temporary table of the
// log's shape), set up so that what the program reports as saved is on disk: rollback
// journal in the file's folder (journal_mode DELETE) and synchronous=FULL. The connection
// is removed again when the object is closed or destroyed.

#include <QSqlDatabase>
#include <QString>

class LogConnection
{
public:
    enum OpenMode { OpenExisting, OpenOrCreate, OpenReadOnly };

    LogConnection() = default;
    // Opens at once; see open().
    explicit LogConnection(const QString &path, OpenMode mode = OpenExisting,
                           const QString &connectionName = {});
    ~LogConnection();
    LogConnection(const LogConnection &) = delete;
    LogConnection &operator=(const LogConnection &) = delete;

    // Opens the file under `connectionName` (a unique name when empty). OpenExisting
    // refuses a missing file, and opens a file for reading only when its mode or its
    // folder's forbids writing; OpenOrCreate makes an empty database file. Raises
    // EDatabaseError ("Databázi "..." nelze otevřít!", or the text of the failure's kind)
    // on failure. An open connection of this object is closed first. A rollback journal
    // that an interrupted write left beside the file is played back first (see
    // RollBackHotJournal), whatever the mode.
    void open(const QString &path, OpenMode mode = OpenExisting, const QString &connectionName = {});
    void close();

    bool isOpen() const { return !m_connectionName.isEmpty(); }
    // True when the connection may only read (asked for, or the file is read-only).
    bool isReadOnly() const { return m_readOnly; }
    const QString &path() const { return m_path; }
    const QString &connectionName() const { return m_connectionName; }
    QSqlDatabase database() const;

private:
    QString m_path;
    QString m_connectionName;
    bool m_readOnly = false;
};

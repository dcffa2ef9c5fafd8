#include "TempLog.h"

#include "log/VkrDatabase.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>

TempLog::TempLog(const QString &name) : m_path(m_dir.filePath(name + QStringLiteral(".db")))
{
    CreateLogTable(m_path);
    m_connection.open(m_path);
}

bool TempLog::exec(const QString &sql) const
{
    QSqlQuery q(database());
    if (q.exec(sql))
        return true;
    qWarning().noquote() << sql << "failed:" << q.lastError().text();
    return false;
}

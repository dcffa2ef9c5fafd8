#pragma once
// A program folder of its own for a test of the log choice or the settings: Velkor.ini
// registering the given logs, and Data/. Everything goes with the object.

#include "settings/LogOptions.h"
#include "log/VkrDatabase.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

class ProgramFolder
{
public:
    explicit ProgramFolder(const QStringList &users = {}) : ProgramFolder(QString(), users) {}
    // In the existing folder `path` rather than a temporary one of its own, for a test that
    // keeps other files beside it; an empty path takes the temporary one.
    ProgramFolder(const QString &path, const QStringList &users)
    {
        m_path = (path.isEmpty() ? m_dir.path() : path) + u'/';
        QDir(m_path).mkpath(QStringLiteral("Data"));
        QFile ini(m_path + QStringLiteral("Velkor.ini"));
        if (ini.open(QIODevice::WriteOnly)) {
            QByteArray text = "[Users]\r\n";
            for (int i = 0; i < users.size(); ++i)
                text += QByteArray::number(i) + '=' + users[i].toUtf8() + "\r\n";
            ini.write(text);
        }
    }
    QString path() const { return m_path; }
    QString data() const { return m_path + QStringLiteral("Data/"); }
    // A log's files as the logbook keeps them.
    void makeLog(const QString &call) const
    {
        CreateLogTable(data() + call + ".db");
        QFile uf(data() + call + ".uf");
        if (uf.open(QIODevice::WriteOnly))
            uf.write("[User]\r\nCall=" + call.toUtf8() + "\r\n");
    }
    QStringList dataFiles() const { return QDir(data()).entryList(QDir::Files, QDir::Name); }
    // The ten log slots as Velkor.ini holds them now.
    QStringList slotsOnDisk() const
    {
        TLogOptions ini;
        ini.Load(m_path + QStringLiteral("Velkor.ini"));
        QStringList users;
        for (int i = 0; i < TLogOptions::UserCount; ++i)
            users << ini.GetUser(i);
        return users;
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

#pragma once
// The command line's history: the commands typed, newest first, the 50 newest kept.
// Repeated commands stay as separate entries.

#include <QStringList>

class TCommandHistory
{
public:
    static constexpr int MaxEntries = 50;

    void Add(const QString &command);
    const QStringList &Entries() const { return m_entries; }

private:
    QStringList m_entries;
};

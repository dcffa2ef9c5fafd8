#include "CommandHistory.h"

void TCommandHistory::Add(const QString &command)
{
    m_entries.prepend(command);
    while (m_entries.size() > MaxEntries)
        m_entries.removeLast();
}

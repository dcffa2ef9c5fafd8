#pragma once
// The exception that the log database routines raise: it carries the text the operator
// is shown (Czech, with the database's own detail appended where it helps), so callers
// catch it at the end of a user operation and pass message() to MessageDlgDef.

#include <QString>

#include <stdexcept>

class EDatabaseError : public std::runtime_error
{
public:
    explicit EDatabaseError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};

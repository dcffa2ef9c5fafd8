#pragma once
// The base of every exception the core raises for the operator. Each carries the Czech
// text the operator is shown, so the end of a user operation can catch this one type and
// pass message() to MessageDlgDef; the subclasses tell the kinds of failure apart for
// callers that handle one kind differently.

#include <QString>

#include <stdexcept>

class EVelkorError : public std::runtime_error
{
public:
    explicit EVelkorError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};

#pragma once
// The exception that file operations of the core raise: it carries the Czech text
// the operator is shown, so callers catch it and pass message() to MessageDlgDef.

#include <QString>

#include <stdexcept>

class EFileError : public std::runtime_error
{
public:
    explicit EFileError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};

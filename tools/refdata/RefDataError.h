#pragma once
// The exception the reference-data converter raises for input it cannot read or files it
// cannot write; the text names the file and, for parse errors, the line.

#include <QString>

#include <stdexcept>

class RefDataError : public std::runtime_error
{
public:
    explicit RefDataError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

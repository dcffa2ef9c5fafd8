#include "WendraArguments.h"

#include <QLocale>

namespace
{

int integerOr(const QString &text, int fallback)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

bool TWendraArguments::ParseBoolean(const QString &text)
{
    bool ok = false;
    const double number = QLocale::c().toDouble(text.trimmed(), &ok);
    if (ok)
        return number != 0.0;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return true;
}

std::optional<TWendraArguments> TWendraArguments::Parse(const QStringList &arguments,
                                                        const QString &environmentPassword)
{
    if (arguments.size() != Count)
        return std::nullopt;
    TWendraArguments a;
    a.Login = arguments.at(0).toLower();
    a.Password = environmentPassword.isEmpty() ? arguments.at(1) : environmentPassword;
    a.Host = arguments.at(2);
    a.Port = integerOr(arguments.at(3), DefaultPort);
    // A number that no TCP port carries would connect to a wrong port or none.
    if (a.Port < 1 || a.Port > 65535)
        a.Port = DefaultPort;
    a.Maximized = ParseBoolean(arguments.at(4));
    a.Width = integerOr(arguments.at(5), DefaultWidth);
    a.Height = integerOr(arguments.at(6), DefaultHeight);
    return a;
}

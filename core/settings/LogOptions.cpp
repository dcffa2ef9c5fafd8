#include "settings/LogOptions.h"

namespace
{

const QString UsersSection = QStringLiteral("Users");

void checkSlot(int index)
{
    if (index < 0 || index >= TLogOptions::UserCount)
        throw EIndexOutOfRange();
}

} // namespace

EIndexOutOfRange::EIndexOutOfRange() : EVelkorError(QStringLiteral("Index mimo rozsah!")) {}

QString TLogOptions::GetUser(int index) const
{
    checkSlot(index);
    return Ini.ReadString(UsersSection, QString::number(index), QString());
}

void TLogOptions::SetUser(int index, const QString &call)
{
    checkSlot(index);
    Ini.WriteString(UsersSection, QString::number(index), call);
}

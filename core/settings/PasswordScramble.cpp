#include "settings/PasswordScramble.h"

#include <QRandomGenerator>

namespace
{

QString threeDigits(int value)
{
    return QString::number(value).rightJustified(3, u'0');
}

// The number written by a three-digit group, or -1 when the group is not one.
int groupValue(const QString &text, qsizetype group)
{
    const QStringView digits = QStringView(text).mid(group * 3, 3);
    int value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return digits.size() == 3 ? value : -1;
}

QString firstCharacters(const QString &text, int count)
{
    QString cut = text.left(count);
    if (cut.size() < text.size() && !cut.isEmpty() && cut.back().isHighSurrogate())
        cut.chop(1); // never split a character that takes two code units
    return cut;
}

} // namespace

void ScrambleString(const QString &password, QString &pad, QString &code)
{
    pad.clear();
    code.clear();
    const QByteArray bytes = firstCharacters(password, MaxPasswordLength).toUtf8();
    for (char byte : bytes) {
        const int random = int(QRandomGenerator::system()->bounded(256));
        pad += threeDigits(random);
        code += threeDigits(static_cast<unsigned char>(byte) ^ random);
    }
}

QString UnscrambleString(const QString &pad, const QString &code, bool *ok)
{
    if (ok)
        *ok = false;
    const qsizetype groups = code.size() / 3;
    QByteArray bytes;
    for (qsizetype i = 0; i < groups; ++i) {
        const int key = groupValue(pad, i);
        const int value = groupValue(code, i);
        if (key < 0 || value < 0 || key > 255 || value > 255)
            return QString();
        bytes.append(char(key ^ value));
    }
    if (ok)
        *ok = true;
    return QString::fromUtf8(bytes);
}

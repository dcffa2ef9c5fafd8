#include "radio/Kontrola.h"

#include "base/Formats.h"
#include "base/Messages.h"
#include "base/MessageTexts.h"
#include "radio/Amater.h"

#include <QDate>
#include <QTime>

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool inRange(QChar c, char16_t upperFirst, char16_t upperLast)
{
    const char16_t lowerFirst = upperFirst + (u'a' - u'A');
    const char16_t lowerLast = upperLast + (u'a' - u'A');
    return (c >= upperFirst && c <= upperLast) || (c >= lowerFirst && c <= lowerLast);
}

// Call signs and DXCC prefixes: letters, digits and "/" only. Lower case passes; the
// key filters of the input fields upper-case what is typed.
bool isCallText(const QString &text)
{
    for (QChar c : text)
        if (!isAsciiLetter(c) && !isDigit(c) && c != u'/')
            return false;
    return true;
}

bool failWith(const QString &message, QObject *control)
{
    ShowErrorAndFocus(message, control);
    return false;
}

// zone: what the zone's own reader (StrToITU, StrToWAZ) made of the text, -1 for no zone in range.
bool checkZone(const QString &text, QObject *control, int zone, const QString &message)
{
    if (text.isEmpty() || zone >= 0)
        return true;
    return failWith(message.arg(text), control);
}

bool checkCoordinatePart(const QString &text, QObject *control, int highest)
{
    int value = 0;
    if (!Formats::tryStrToInt(text, value))
        return failWith(QStringLiteral("Neplatná souřadnice"), control);
    if (value < 0 || value > highest)
        return failWith(QStringLiteral("Jsou povoleny jen hodnoty 0..%1").arg(highest), control);
    return true;
}

} // namespace

void ShowErrorAndFocus(const QString &message, QObject *control)
{
    MessageDlgDef(message, mtError, mbOK, mrOk);
    FocusControl(control);
}

bool IsValidCall(const QString &text)
{
    return !text.isEmpty() && isCallText(text);
}

bool CheckCall(const QString &text, QObject *control)
{
    if (text.isEmpty())
        return failWith(QStringLiteral("Značka musí být zadána!"), control);
    if (!isCallText(text))
        return failWith(
            QStringLiteral("Neplatná značka \"%1\" (může obsahovat jen znaky \"A-Z, 0-9, /\")!").arg(text),
            control);
    return true;
}

bool CheckFreq(const QString &text, QObject *control)
{
    if (text.isEmpty())
        return failWith(QStringLiteral("Frekvence musí být zadána!"), control);
    double value = 0;
    // No QSO is made on 0 MHz or below; such a value would also become the next QSO's preset.
    if (!Formats::tryStrToFloat(text, value) || !(value > 0))
        return failWith(MsgInvalidFrequency(text), control);
    return true;
}

bool CheckPower(const QString &text, QObject *control)
{
    if (text.isEmpty())
        return failWith(QStringLiteral("Výkon musí být zadán!"), control);
    double value = 0;
    if (!Formats::tryStrToFloat(text, value))
        return failWith(QStringLiteral("Neplatný výkon!"), control);
    return true;
}

bool IsValidLocator(const QString &text)
{
    if (text.isEmpty())
        return true;
    return text.size() == 6 && inRange(text[0], u'A', u'R') && inRange(text[1], u'A', u'R') &&
           isDigit(text[2]) && isDigit(text[3]) && inRange(text[4], u'A', u'X') &&
           inRange(text[5], u'A', u'X');
}

bool CheckLocator(const QString &text, QObject *control)
{
    if (IsValidLocator(text))
        return true;
    return failWith(QStringLiteral("Neplatný lokátor \"%1\"!").arg(text), control);
}

bool CheckDXCC(const QString &text, QObject *control)
{
    if (isCallText(text))
        return true;
    return failWith(QStringLiteral("Neplatný kód DXCC \"%1\"!").arg(text), control);
}

bool IsValidIOTA(const QString &text)
{
    if (text.isEmpty())
        return true;
    // Only the reference itself is examined ("EU123"); anything after it is left alone.
    return text.size() >= 5 && isAsciiLetter(text[0]) && isAsciiLetter(text[1]) && isDigit(text[2]) &&
           isDigit(text[3]) && isDigit(text[4]);
}

bool CheckIOTA(const QString &text, QObject *control)
{
    if (IsValidIOTA(text))
        return true;
    return failWith(QStringLiteral("Neplatný formát IOTA!"), control);
}

bool CheckITU(const QString &text, QObject *control)
{
    return checkZone(text, control, StrToITU(text),
                     QStringLiteral("Neplatný kód ITU \"%1\" (povoleny jsou hodnoty 1..90)!"));
}

bool CheckWAZ(const QString &text, QObject *control)
{
    return checkZone(text, control, StrToWAZ(text),
                     QStringLiteral("Neplatný kód WAZ \"%1\" (povoleny jsou hodnoty 1..40)!"));
}

bool CheckTime(const QString &text, QObject *control)
{
    QTime value;
    if (Formats::tryStrToTime(text, value))
        return true;
    return failWith(QStringLiteral("Neplatný čas \"%1\"!").arg(text), control);
}

bool CheckDate(const QString &text, QObject *control)
{
    QDate value;
    if (Formats::tryStrToDate(text, value))
        return true;
    return failWith(QStringLiteral("Neplatné datum \"%1\"!").arg(text), control);
}

bool CheckLatDegrees(const QString &text, QObject *control)
{
    return checkCoordinatePart(text, control, 89);
}

bool CheckLonDegrees(const QString &text, QObject *control)
{
    return checkCoordinatePart(text, control, 179);
}

bool CheckMinSec(const QString &text, QObject *control)
{
    return checkCoordinatePart(text, control, 59);
}

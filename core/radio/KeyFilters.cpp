#include "radio/KeyFilters.h"

namespace {

bool isUpperLetter(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isSeparatorKey(QChar c)
{
    return c == u',' || c == u'.' || c == u':';
}

// Only ASCII letters are upper-cased: fields that filter keys hold ASCII text.
QChar asciiUpper(QChar c)
{
    return (c >= u'a' && c <= u'z') ? QChar(c.unicode() - (u'a' - u'A')) : c;
}

void keepIf(QChar &key, bool allowed)
{
    if (key != KeyBackspace && !allowed)
        key = KeyNull;
}

bool inExtra(QChar key, const QString &extra)
{
    return key != KeyNull && extra.contains(key);
}

// The shared typing aid of dates and times: "12" + digit gives "12." + digit, a separator
// after a single digit pads it with a leading zero ("5" + "." gives "05.").
void fieldKeyFilter(QChar &key, QString &text, int &caret, QChar separator)
{
    if (key == KeyBackspace)
        return;
    if (isDigit(key)) {
        if (text.size() == 2 || text.size() == 5) {
            text += separator;
            caret = int(text.size());
        }
        return;
    }
    if (isSeparatorKey(key)) {
        if (text.size() == 1 || text.size() == 4) {
            text.insert(text.size() - 1, u'0');
            text += separator;
            caret = int(text.size());
            key = KeyNull;
        } else if (caret == 2 || caret == 5) {
            key = separator;
        } else {
            key = KeyNull;
        }
        return;
    }
    key = KeyNull;
}

} // namespace

void CallKeyFilter(QChar &key, const QString &extra)
{
    key = asciiUpper(key);
    keepIf(key, key == u'/' || isDigit(key) || isUpperLetter(key) || inExtra(key, extra));
}

void CallDashKeyFilter(QChar &key, const QString &extra)
{
    if (key == u'-')
        return;
    CallKeyFilter(key, extra);
}

void FloatKeyFilter(QChar &key)
{
    if (key == u'.')
        key = u',';
    keepIf(key, key == u',' || isDigit(key));
}

void DigitKeyFilter(QChar &key)
{
    keepIf(key, isDigit(key));
}

void ReportKeyFilter(QChar &key)
{
    key = asciiUpper(key);
    keepIf(key, key == u',' || isDigit(key) || isUpperLetter(key));
}

void LocatorKeyFilter(QChar &key, int caret, const QString &extra)
{
    key = asciiUpper(key);
    switch (caret) {
    case 0:
    case 1:
    case 4:
    case 5:
        keepIf(key, isUpperLetter(key) || inExtra(key, extra));
        break;
    case 2:
    case 3:
        keepIf(key, isDigit(key) || inExtra(key, extra));
        break;
    default: // the locator is complete
        keepIf(key, false);
    }
}

void IOTAKeyFilter(QChar &key, int caret, const QString &extra)
{
    key = asciiUpper(key);
    switch (caret) {
    case 0:
    case 1:
        keepIf(key, isUpperLetter(key) || inExtra(key, extra));
        break;
    case 2:
    case 3:
    case 4:
        keepIf(key, isDigit(key) || inExtra(key, extra));
        break;
    default:
        keepIf(key, false);
    }
}

void DateKeyFilter(QChar &key, QString &text, int &caret)
{
    fieldKeyFilter(key, text, caret, u'.');
}

void TimeKeyFilter(QChar &key, QString &text, int &caret)
{
    fieldKeyFilter(key, text, caret, u':');
}

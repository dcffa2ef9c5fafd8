#include "base/CaseFold.h"

#include "base/SqliteHandle.h"
#include "base/Utf8Text.h"

#include <QByteArray>

#include <algorithm>

#include <sqlite3.h>

namespace
{

constexpr char32_t SharpS = 0x00DF;
constexpr char32_t CapitalSharpS = 0x1E9E;

// The capital of one letter, through `put` (called once, or twice for ß).
template <typename Put>
void foldCodePoint(char32_t c, Put &&put)
{
    if (c == SharpS || c == CapitalSharpS) {
        put(U'S');
        put(U'S');
    } else {
        put(QChar::toUpper(c));
    }
}

void appendUtf8(QByteArray &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void foldUtf8(const uchar *data, qsizetype size, QByteArray &out)
{
    out.clear();
    out.reserve(size + 8);
    for (qsizetype i = 0; i < size;) {
        const uchar b = data[i];
        if (b < 0x80) {
            out += char(b >= 'a' && b <= 'z' ? b - 32 : b);
            ++i;
            continue;
        }
        int length = 0;
        const char32_t c = Utf8SequenceAt(data, size, i, length);
        if (length == 0) {
            out += char(b);
            ++i;
            continue;
        }
        foldCodePoint(c, [&out](char32_t f) { appendUtf8(out, f); });
        i += length;
    }
}

void caseFoldFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *text = sqlite3_value_text(argv[0]);
    const int size = sqlite3_value_bytes(argv[0]);
    if (!text) {
        sqlite3_result_error_nomem(context);
        return;
    }
    // Most values are plain ASCII (call signs, and most names): these are folded in one
    // pass without any conversion, and a value without small letters is passed on as it is.
    int i = 0;
    bool small = false;
    for (; i < size && text[i] < 0x80; ++i)
        small |= text[i] >= 'a' && text[i] <= 'z';
    if (i == size) {
        if (!small) {
            sqlite3_result_text(context, reinterpret_cast<const char *>(text), size, SQLITE_TRANSIENT);
            return;
        }
        auto *folded = static_cast<char *>(sqlite3_malloc(size + 1));
        if (!folded) {
            sqlite3_result_error_nomem(context);
            return;
        }
        for (int k = 0; k < size; ++k)
            folded[k] = char(text[k] >= 'a' && text[k] <= 'z' ? text[k] - 32 : text[k]);
        folded[size] = '\0';
        sqlite3_result_text(context, folded, size, sqlite3_free);
        return;
    }
    QByteArray folded;
    foldUtf8(text, size, folded);
    sqlite3_result_text(context, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
}

} // namespace

QString CaseFold(const QString &text)
{
    QString folded;
    folded.reserve(text.size() + 2);
    const auto put = [&folded](char32_t c) { folded += QChar::fromUcs4(c); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80) {
            folded += c >= u'a' && c <= u'z' ? QChar(c.unicode() - 32) : c;
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            foldCodePoint(QChar::surrogateToUcs4(c, text[i + 1]), put);
            ++i;
        } else {
            foldCodePoint(c.unicode(), put);
        }
    }
    return folded;
}

bool RegisterCaseFold(const QSqlDatabase &db)
{
    sqlite3 *handle = SqliteHandle(db);
    if (!handle)
        return false;
    return sqlite3_create_function_v2(handle, CaseFoldSqlName, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                      caseFoldFunction, nullptr, nullptr, nullptr) == SQLITE_OK;
}

namespace
{

template <char16_t From, char16_t To>
QString shiftedAscii(const QString &text)
{
    const auto inRange = [](QChar c) { return c.unicode() >= From && c.unicode() <= To; };
    if (std::none_of(text.cbegin(), text.cend(), inRange))
        return text;
    QString result = text;
    for (QChar &c : result)
        if (inRange(c))
            c = QChar(char16_t(c.unicode() ^ 0x20));
    return result;
}

} // namespace

QString UpperAscii(const QString &text)
{
    return shiftedAscii<u'a', u'z'>(text);
}

QString LowerAscii(const QString &text)
{
    return shiftedAscii<u'A', u'Z'>(text);
}

#include "FindMatch.h"

#include "base/CaseFold.h"
#include "base/Utf8Text.h"

TFindMatch TFindMatch::Mask(const QString &mask, TTextFold fold)
{
    TFindMatch match;
    match.m_mask = std::make_shared<const TWildcardMask>(mask);
    match.m_fold = fold;
    return match;
}

TFindMatch TFindMatch::Date(const QDate &date)
{
    TFindMatch match;
    match.m_date = date;
    // Four digits of the year: the only days a stored "YYYY-MM-DD" can name.
    if (date.isValid() && date.year() >= 1 && date.year() <= 9999)
        match.m_isoDate = date.toString(Qt::ISODate).toStdString();
    return match;
}

std::optional<bool> TFindMatch::matchesAscii(const QString &text) const
{
    // In ASCII text the capitals of both folds are those of a to z.
    char bytes[64];
    if (text.size() > qsizetype(sizeof bytes))
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80)
            return std::nullopt;
        bytes[i] = char(c);
    }
    return m_mask->MatchesAscii(std::string_view(bytes, size_t(text.size())), m_fold != tfAsTyped);
}

bool TFindMatch::operator()(const QVariant &value) const
{
    if (m_mask) {
        const QString text = value.toString();
        if (const std::optional<bool> quick = matchesAscii(text))
            return *quick;
        switch (m_fold) {
        case tfAsTyped:
            return m_mask->Matches(text);
        case tfUpperAscii:
            return m_mask->Matches(UpperAscii(text));
        case tfCaseFold:
            return m_mask->Matches(CaseFold(text));
        }
    }
    return value.typeId() == QMetaType::QDate ? value.toDate() == m_date
                                              : QDate::fromString(value.toString(), Qt::ISODate) == m_date;
}

std::optional<bool> TFindMatch::MatchesStored(TStoredForm form, std::string_view utf8) const
{
    if (m_mask) {
        if (form != sfText || !IsAsciiBytes(QByteArrayView(utf8.data(), qsizetype(utf8.size()))))
            return std::nullopt;
        return m_mask->MatchesAscii(utf8, m_fold != tfAsTyped);
    }
    // A stored date of four, two and two digits is that day or another, or no day at all
    // (the 30th of February), which no search finds; any other form is read by the log.
    if (form != sfDate || m_isoDate.empty() || utf8.size() != 10 || utf8[4] != '-' || utf8[7] != '-')
        return std::nullopt;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (utf8[i] < '0' || utf8[i] > '9')
            return std::nullopt;
    return utf8 == m_isoDate;
}

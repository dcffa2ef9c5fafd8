#pragma once
// What a search of the find window accepts: a date, or a mask over the field's text seen
// as typed, with its ASCII letters made capitals, or with every letter folded. A search
// over a whole log asks it first about the bytes SQLite stores, which most values answer
// without being turned into Qt's values; the rest are asked as the grid holds them.

#include "base/WildcardMask.h"

#include <QDate>
#include <QVariant>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class TFindMatch
{
public:
    // How the value's text is seen before the mask applies to it.
    enum TTextFold : quint8 {
        tfAsTyped,    // as stored
        tfUpperAscii, // the letters a to z as capitals (call signs, locators, IOTA)
        tfCaseFold,   // every letter folded (CaseFold)
    };
    // How a column holds what a value is made of.
    enum TStoredForm : quint8 {
        sfText, // the text itself
        sfDate, // the date as "YYYY-MM-DD"
    };

    // The mask, already folded as the texts are.
    static TFindMatch Mask(const QString &mask, TTextFold fold);
    // A day, given as a date or as the text "YYYY-MM-DD".
    static TFindMatch Date(const QDate &date);

    // Whether the value, as the grid's query holds it, matches.
    bool operator()(const QVariant &value) const;
    // The same answer for a value SQLite stores as this UTF-8 text, for a column that holds
    // its values in the form; nothing when the bytes alone cannot tell.
    std::optional<bool> MatchesStored(TStoredForm form, std::string_view utf8) const;

private:
    TFindMatch() = default;
    std::optional<bool> matchesAscii(const QString &text) const;

    std::shared_ptr<const TWildcardMask> m_mask; // shared: the match is copied into searches
    TTextFold m_fold = tfAsTyped;
    QDate m_date;
    std::string m_isoDate; // empty: no date, or one whose stored form is not ten characters
};

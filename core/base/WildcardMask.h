#pragma once
// The search masks of the find window: "*" stands for any run of characters (none
// included), "?" for exactly one, and brackets for one character of a set ("[abc]",
// ranges "[a-f]", "[!a-f]" for any character outside the set). The whole text must match.
// Every other character stands for itself, "/" and "\" included, so OK1* finds OK1ABC/P.
// A "[" without its "]" stands for itself.

#include <QRegularExpression>
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

QRegularExpression WildcardMaskToRegularExpression(const QString &mask, bool caseSensitive = true);

class TWildcardMask
{
public:
    explicit TWildcardMask(const QString &mask, bool caseSensitive = true);
    bool Matches(const QString &text) const;

    // The same answer for a text of ASCII characters only, given as its bytes, with its
    // small letters a to z first made capitals when `upperCase` is set; nothing for a mask
    // with a set or without regard to letter case, which only Matches reads. A search
    // over a whole log meets mostly such texts, and this answers without a conversion.
    std::optional<bool> MatchesAscii(std::string_view text, bool upperCase) const;

private:
    QRegularExpression m_expression;
    // The mask cut at its stars into pieces of a fixed length, "?" standing for any one
    // character, as UTF-8; empty `m_plain` for a mask that MatchesAscii leaves alone.
    bool m_plain = false;
    bool m_leadingStar = false;
    bool m_trailingStar = false;
    std::vector<std::string> m_pieces;
};

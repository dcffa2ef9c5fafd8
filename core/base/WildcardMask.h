#pragma once
// The search masks of the find window: "*" stands for any run of characters (none
// included), "?" for exactly one, and brackets for one character of a set ("[abc]",
// ranges "[a-f]", "[!a-f]" for any character outside the set). The whole text must match.
// Every other character stands for itself, "/" and "\" included, so OK1* finds OK1ABC/P.
// A "[" without its "]" stands for itself.

#include <QRegularExpression>
#include <QString>

QRegularExpression WildcardMaskToRegularExpression(const QString &mask, bool caseSensitive = true);

class TWildcardMask
{
public:
    explicit TWildcardMask(const QString &mask, bool caseSensitive = true);
    bool Matches(const QString &text) const;

private:
    QRegularExpression m_expression;
};

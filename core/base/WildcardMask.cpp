#include "base/WildcardMask.h"

namespace {

// The bracketed set that begins at mask[open] as a regular-expression class; -1 in `end`
// when the set is not closed.
QString setClass(const QString &mask, int open, int &end)
{
    int i = open + 1;
    QString cls = QStringLiteral("[");
    if (i < mask.size() && mask[i] == u'!') {
        cls += u'^';
        ++i;
    }
    const int first = i;
    for (; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == u']' && i > first)
            break;
        if (c == u'-' && i > first && i + 1 < mask.size() && mask[i + 1] != u']')
            cls += u'-';
        else
            cls += QRegularExpression::escape(QString(c));
    }
    if (i >= mask.size()) {
        end = -1;
        return {};
    }
    end = i;
    return cls + u']';
}

} // namespace

QRegularExpression WildcardMaskToRegularExpression(const QString &mask, bool caseSensitive)
{
    QString pattern;
    pattern.reserve(mask.size() * 2 + 8);
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == u'*') {
            pattern += QStringLiteral(".*");
        } else if (c == u'?') {
            pattern += u'.';
        } else if (c == u'[') {
            int end = -1;
            const QString cls = setClass(mask, i, end);
            if (end < 0) {
                pattern += QRegularExpression::escape(QString(c));
            } else {
                pattern += cls;
                i = end;
            }
        } else {
            pattern += QRegularExpression::escape(QString(c));
        }
    }
    QRegularExpression::PatternOptions options = QRegularExpression::DotMatchesEverythingOption;
    if (!caseSensitive)
        options |= QRegularExpression::CaseInsensitiveOption;
    QRegularExpression expression(QRegularExpression::anchoredPattern(pattern), options);
    expression.optimize();
    return expression;
}

TWildcardMask::TWildcardMask(const QString &mask, bool caseSensitive)
    : m_expression(WildcardMaskToRegularExpression(mask, caseSensitive))
{
}

bool TWildcardMask::Matches(const QString &text) const
{
    return m_expression.match(text).hasMatch();
}

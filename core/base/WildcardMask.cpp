#include "base/WildcardMask.h"

#include "base/Utf8Text.h"

namespace
{

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
    // Without letter case, a capital outside ASCII may match an ASCII letter (the Kelvin
    // sign a K), so only masks that heed case are read here.
    m_plain = caseSensitive && !mask.contains(u'[') && mask.isValidUtf16();
    if (!m_plain)
        return;
    m_leadingStar = mask.startsWith(u'*');
    m_trailingStar = mask.endsWith(u'*');
    for (const QString &piece : mask.split(u'*', Qt::SkipEmptyParts))
        m_pieces.push_back(piece.toStdString());
    if (m_pieces.empty())
        m_pieces.emplace_back(); // "" or only stars
}

bool TWildcardMask::Matches(const QString &text) const
{
    return m_expression.match(text).hasMatch();
}

namespace
{

// Whether the piece stands at text[at]; the text holds ASCII only, so a "?" of the piece
// takes one byte, and a byte of a character outside ASCII in the piece meets none.
bool pieceAt(std::string_view text, size_t at, const std::string &piece, bool upperCase)
{
    for (size_t i = 0; i < piece.size(); ++i) {
        char c = text[at + i];
        if (upperCase && c >= 'a' && c <= 'z')
            c = char(c - 32);
        if (piece[i] != '?' && piece[i] != c)
            return false;
    }
    return true;
}

} // namespace

std::optional<bool> TWildcardMask::MatchesAscii(std::string_view text, bool upperCase) const
{
    if (!m_plain)
        return std::nullopt;
    Q_ASSERT(IsAsciiBytes(QByteArrayView(text.data(), qsizetype(text.size()))));
    if (!m_leadingStar && !m_trailingStar && m_pieces.size() == 1)
        return text.size() == m_pieces[0].size() && pieceAt(text, 0, m_pieces[0], upperCase);
    // The first piece at the start unless a star comes first, the last at the end unless
    // a star comes last; each piece between them at its first place after the one before,
    // which leaves the others the most room.
    size_t from = 0;
    size_t to = text.size();
    size_t first = 0;
    size_t last = m_pieces.size();
    if (!m_leadingStar) {
        const std::string &piece = m_pieces.front();
        if (piece.size() > to || !pieceAt(text, 0, piece, upperCase))
            return false;
        from = piece.size();
        ++first;
    }
    if (!m_trailingStar && first < last) {
        const std::string &piece = m_pieces.back();
        if (piece.size() > to - from || !pieceAt(text, to - piece.size(), piece, upperCase))
            return false;
        to -= piece.size();
        --last;
    }
    for (size_t p = first; p < last; ++p) {
        const std::string &piece = m_pieces[p];
        size_t at = from;
        while (at + piece.size() <= to && !pieceAt(text, at, piece, upperCase))
            ++at;
        if (at + piece.size() > to)
            return false;
        from = at + piece.size();
    }
    return true;
}

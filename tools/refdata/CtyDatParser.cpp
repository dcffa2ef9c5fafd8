#include "CtyDatParser.h"

#include "RefDataError.h"

namespace
{

// Walks the file text and keeps count of the line it is on, for the error messages.
class TextReader
{
public:
    explicit TextReader(const QString &text) : m_text(text) {}

    bool atEnd()
    {
        while (m_pos < m_text.size() && m_text.at(m_pos).isSpace())
            advance();
        return m_pos >= m_text.size();
    }

    // The text up to the terminator (which is consumed). Meeting one of `stops` first, or
    // the end of the text, is a fault of the file.
    QString readUntil(QChar terminator, const QString &stops, const char *what)
    {
        const int start = m_pos;
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos);
            if (c == terminator) {
                const QString result = m_text.mid(start, m_pos - start);
                advance();
                return result;
            }
            if (stops.contains(c))
                fail(QStringLiteral("unexpected \"%1\" in %2").arg(c).arg(QLatin1String(what)));
            advance();
        }
        fail(QStringLiteral("the file ends inside %1").arg(QLatin1String(what)));
    }

    int line() const { return m_line; }

    [[noreturn]] void fail(const QString &message) const
    {
        throw RefDataError(QStringLiteral("cty.dat, line %1: %2").arg(m_line).arg(message));
    }

private:
    void advance()
    {
        if (m_text.at(m_pos) == QLatin1Char('\n'))
            ++m_line;
        ++m_pos;
    }

    const QString &m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
};

int toInt(const QString &text, const char *what)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw RefDataError(QStringLiteral("%1 \"%2\" is not a whole number").arg(QLatin1String(what), text));
    return value;
}

double toDouble(const QString &text, const char *what)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok)
        throw RefDataError(QStringLiteral("%1 \"%2\" is not a number").arg(QLatin1String(what), text));
    return value;
}

bool isCallCharacter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('/');
}

QChar closingOf(QChar open)
{
    switch (open.unicode()) {
    case '(':
        return QLatin1Char(')');
    case '[':
        return QLatin1Char(']');
    case '<':
        return QLatin1Char('>');
    case '{':
        return QLatin1Char('}');
    default:
        return QLatin1Char('~');
    }
}

void applyOverride(QChar open, const QString &value, CtyLocation &location)
{
    switch (open.unicode()) {
    case '(':
        location.cqZone = toInt(value, "CQ zone");
        break;
    case '[':
        location.ituZone = toInt(value, "ITU zone");
        break;
    case '<': {
        const QStringList parts = value.split(QLatin1Char('/'));
        if (parts.size() != 2)
            throw RefDataError(QStringLiteral("coordinates \"%1\" are not latitude/longitude").arg(value));
        location.latitude = toDouble(parts.at(0), "latitude");
        location.longitude = -toDouble(parts.at(1), "longitude"); // the file counts west positive
        break;
    }
    case '{':
        if (value.trimmed().isEmpty())
            throw RefDataError(QStringLiteral("empty continent"));
        location.continent = value.trimmed().toUpper();
        break;
    default:
        location.utcOffset = toDouble(value, "UTC offset");
        break;
    }
}

CtyEntity parseHeader(TextReader &reader)
{
    CtyEntity entity;
    entity.line = reader.line();
    QStringList fields;
    for (int i = 0; i < 8; ++i)
        fields << reader.readUntil(QLatin1Char(':'), QStringLiteral(";\n"), "an entity header");
    try {
        entity.name = fields.at(0).trimmed();
        entity.location.cqZone = toInt(fields.at(1), "CQ zone");
        entity.location.ituZone = toInt(fields.at(2), "ITU zone");
        entity.location.continent = fields.at(3).trimmed().toUpper();
        entity.location.latitude = toDouble(fields.at(4), "latitude");
        entity.location.longitude = -toDouble(fields.at(5), "longitude"); // the file counts west positive
        entity.location.utcOffset = toDouble(fields.at(6), "UTC offset");
        entity.primaryPrefix = fields.at(7).trimmed();
    } catch (const RefDataError &e) {
        reader.fail(QString::fromUtf8(e.what()));
    }
    if (entity.name.isEmpty() || entity.location.continent.isEmpty() || entity.primaryPrefix.isEmpty())
        reader.fail(QStringLiteral("an entity header lacks its name, continent or primary prefix"));
    entity.waeOnly = entity.primaryPrefix.startsWith(QLatin1Char('*'));
    return entity;
}

} // namespace

CtyPrefix CtyDatParser::parsePrefix(const QString &item, const CtyLocation &entityLocation)
{
    CtyPrefix prefix;
    prefix.location = entityLocation;
    const QString text = item.trimmed();
    qsizetype i = 0;
    if (text.startsWith(QLatin1Char('='))) {
        prefix.fullCall = true;
        ++i;
    }
    const QString opens = QStringLiteral("([<{~");
    const qsizetype start = i;
    while (i < text.size() && !opens.contains(text.at(i)))
        ++i;
    prefix.text = text.mid(start, i - start).toUpper();
    if (prefix.text.isEmpty())
        throw RefDataError(QStringLiteral("prefix item \"%1\" names no prefix").arg(item));
    for (QChar c : std::as_const(prefix.text)) {
        if (!isCallCharacter(c))
            throw RefDataError(QStringLiteral("prefix item \"%1\" holds the character \"%2\"").arg(item, c));
    }
    while (i < text.size()) {
        const QChar open = text.at(i);
        const qsizetype end = text.indexOf(closingOf(open), i + 1);
        if (end < 0)
            throw RefDataError(QStringLiteral("prefix item \"%1\" has an unclosed \"%2\"").arg(item, open));
        applyOverride(open, text.mid(i + 1, end - i - 1), prefix.location);
        i = end + 1;
        if (i < text.size() && !opens.contains(text.at(i)))
            throw RefDataError(QStringLiteral("prefix item \"%1\" goes on after its overrides").arg(item));
    }
    return prefix;
}

QList<CtyEntity> CtyDatParser::parse(const QString &text)
{
    QList<CtyEntity> entities;
    TextReader reader(text);
    while (!reader.atEnd()) {
        CtyEntity entity = parseHeader(reader);
        if (reader.atEnd())
            reader.fail(QStringLiteral("entity \"%1\" has no prefix list").arg(entity.name));
        const int listLine = reader.line();
        const QString list = reader.readUntil(QLatin1Char(';'), QStringLiteral(":"), "a prefix list");
        for (const QString &item : list.split(QLatin1Char(','))) {
            if (item.trimmed().isEmpty())
                continue;
            try {
                entity.prefixes.append(parsePrefix(item, entity.location));
            } catch (const RefDataError &e) {
                throw RefDataError(QStringLiteral("cty.dat, entity \"%1\" (line %2): %3")
                                       .arg(entity.name)
                                       .arg(listLine)
                                       .arg(QString::fromUtf8(e.what())));
            }
        }
        if (entity.prefixes.isEmpty())
            reader.fail(QStringLiteral("entity \"%1\" has no prefixes").arg(entity.name));
        entities.append(entity);
    }
    return entities;
}

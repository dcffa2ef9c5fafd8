#include "log/LogFilter.h"

#include "radio/Amater.h"
#include "base/CaseFold.h"
#include "base/Formats.h"
#include "log/VkrDatabase.h"

const std::array<int, FilterFieldCount> FilterFields{fiCALL, fiBAND, fiMODE,   fiLOCO, fiLOCP,  fiNOTE, fiDXCC,
                                                     fiIOTA, fiITU,  fiWAZ,    fiAWARD, fiQSLO, fiQSLP, fiQSLVIA,
                                                     fiEQSLP, fiDAT, fiFREQ,  fiNAME, fiQTH,  fiPWR};

const QStringList FilterOperators{QStringLiteral("="),  QStringLiteral("<>"), QStringLiteral(">"),
                                  QStringLiteral(">="), QStringLiteral("<"),  QStringLiteral("<=")};

namespace {

// Bands offered by the dialog: the amateur bands without the last one and without "Mimo!".
constexpr int PickedBandCount = 27;

template <std::size_t N>
QStringList namesOf(const std::array<QString, N> &names, int first, int count)
{
    QStringList list;
    for (int i = first; i < first + count; ++i)
        list << names[i];
    return list;
}

// The index of the name in the field's whole table (all 29 bands); 0 when none matches.
int indexOfName(int field, const QString &name)
{
    const auto find = [&name](const auto &names) {
        for (std::size_t i = 0; i < names.size(); ++i)
            if (names[i] == name)
                return int(i);
        return 0;
    };
    switch (field) {
    case fiBAND:
        return find(BandNames);
    case fiMODE:
        return find(ModeNames);
    case fiQSLO:
        return find(QslSentNames);
    case fiQSLP:
        return find(QslRcvdNames);
    case fiEQSLP:
        return find(EQslNames);
    default:
        return 0;
    }
}

struct Condition {
    int field = -1;
    QString op; // the SQL operator: LIKE, NOT LIKE, =, <>, ...
    QString sql;
    QVariantList values;
};

// "<>" keeps the QSOs whose field is empty: they do not hold the value either.
QString nullSafeOperator(const QString &op)
{
    return op == u"<>" ? QStringLiteral("IS NOT") : op;
}

Condition textCondition(int field, const QString &op, const QString &text)
{
    Condition c;
    c.field = field;
    const QString &name = LogFieldNames[field];
    if (text.isEmpty()) {
        // "=" with no value keeps the QSOs whose field is empty (stored as NULL).
        c.op = op;
        c.sql = QStringLiteral("(IFNULL(UPPER(%1),'') %2 ?)").arg(name, op);
        c.values << QStringLiteral(""); // not a null text, which would bind as NULL
        return c;
    }
    // Both sides are folded alike, so letter case does not count in any alphabet.
    const QVariant pattern = FilterLikePattern(CaseFold(text));
    const QString folded = QStringLiteral("%1(%2)").arg(QLatin1String(CaseFoldSqlName), name);
    if (op == u"=") {
        c.op = QStringLiteral("LIKE");
        c.sql = QStringLiteral("(%1 LIKE ? ESCAPE '\\')").arg(folded);
    } else {
        c.op = QStringLiteral("NOT LIKE");
        c.sql = QStringLiteral("(IFNULL(%1,'') NOT LIKE ? ESCAPE '\\')").arg(folded);
    }
    c.values << pattern;
    return c;
}

// Dates, numbers: an empty value means an empty field for "=" and "<>".
Condition valueCondition(int field, const QString &op, const QVariant &value, bool empty)
{
    Condition c;
    c.field = field;
    c.op = op;
    const QString &name = LogFieldNames[field];
    if (empty) {
        c.sql = QStringLiteral("(%1 %2 NULL)").arg(name, op == u"<>" ? QStringLiteral("IS NOT") : QStringLiteral("IS"));
        if (op != u"=" && op != u"<>")
            c.sql = QStringLiteral("(0)"); // an order against nothing holds for no QSO
        return c;
    }
    // "+" keeps SQLite from walking the date index for a range: reading most of a large
    // log through an index is many times slower than one pass over the table.
    const QString column = field == fiDAT ? u'+' + name : name;
    c.sql = QStringLiteral("(%1 %2 ?)").arg(column, nullSafeOperator(op));
    c.values << value;
    return c;
}

Condition buildCondition(const TFilterRow &row)
{
    const int field = FilterFieldOfCaption(row.key);
    QString op, text;
    if (field < 0 || !SplitFilterValue(row.value, op, text) || !FilterOperators.contains(op))
        return {};
    switch (FilterCompareOf(field)) {
    case TFilterCompare::Text:
        return textCondition(field, op, text);
    case TFilterCompare::Index: {
        Condition c;
        c.field = field;
        c.op = op;
        c.sql = QStringLiteral("(IFNULL(%1,0) %2 ?)").arg(LogFieldNames[field], op);
        c.values << indexOfName(field, text);
        return c;
    }
    case TFilterCompare::Date: {
        QDate date;
        const bool ok = Formats::tryStrToDate(text, date);
        return valueCondition(field, op, ok ? QVariant(date.toString(Qt::ISODate)) : QVariant(text),
                              text.trimmed().isEmpty());
    }
    case TFilterCompare::Number: {
        double number = 0;
        const bool ok = Formats::tryStrToFloat(text, number);
        return valueCondition(field, op, ok ? QVariant(number) : QVariant(text), text.trimmed().isEmpty());
    }
    case TFilterCompare::Integer: {
        int number = 0;
        const bool ok = Formats::tryStrToInt(text, number);
        return valueCondition(field, op, ok ? QVariant(number) : QVariant(text), text.trimmed().isEmpty());
    }
    }
    return {};
}

} // namespace

TFilterCompare FilterCompareOf(int field)
{
    switch (field) {
    case fiBAND:
    case fiMODE:
    case fiQSLO:
    case fiQSLP:
    case fiEQSLP:
        return TFilterCompare::Index;
    case fiDAT:
        return TFilterCompare::Date;
    case fiFREQ:
    case fiPWR:
        return TFilterCompare::Number;
    case fiITU:
    case fiWAZ:
        return TFilterCompare::Integer;
    default:
        return TFilterCompare::Text;
    }
}

bool FilterFieldTakesAllOperators(int field)
{
    return field == fiDAT || field == fiFREQ || field == fiBAND || field == fiPWR;
}

QStringList FilterPickNames(int field)
{
    switch (field) {
    case fiBAND:
        return namesOf(BandNames, 0, PickedBandCount);
    case fiMODE:
        return namesOf(ModeNames, 1, ModeCount - 1);
    case fiQSLO:
        return namesOf(QslSentNames, 0, int(QslSentNames.size()));
    case fiQSLP:
        return namesOf(QslRcvdNames, 0, int(QslRcvdNames.size()));
    case fiEQSLP:
        return namesOf(EQslNames, 0, int(EQslNames.size()));
    default:
        return {};
    }
}

TFilterRow MakeFilterRow(int field, const QString &op, const QString &text)
{
    return {LogFieldCaptions[field], op + QStringLiteral(" \"") + text + u'"'};
}

bool SplitFilterValue(const QString &rowValue, QString &op, QString &text)
{
    const int quote = rowValue.indexOf(u'"');
    if (quote < 0)
        return false;
    op = rowValue.left(quote).trimmed();
    QString operand = rowValue.mid(quote + 1);
    if (operand.endsWith(u'"'))
        operand.chop(1);
    text = operand;
    return true;
}

int FilterFieldOfCaption(const QString &caption)
{
    for (int field : FilterFields)
        if (LogFieldCaptions[field] == caption)
            return field;
    return -1;
}

int FindConditionRow(const QList<TFilterRow> &rows, const QString &caption, const QString &op)
{
    int lastOfField = -1;
    int lastSameOperator = -1;
    for (int i = 0; i < rows.size(); ++i) {
        if (!rows[i].key.contains(caption))
            continue;
        lastOfField = i;
        QString rowOp, text;
        if (SplitFilterValue(rows[i].value, rowOp, text) && rowOp == op)
            lastSameOperator = i;
    }
    return lastSameOperator >= 0 ? lastSameOperator : lastOfField;
}

QString CheckFilterValue(int field, const QString &op, QString &text)
{
    switch (FilterCompareOf(field)) {
    case TFilterCompare::Date: {
        QDate date;
        if (!Formats::tryStrToDate(text, date))
            return QStringLiteral("Chybné datum!");
        text = Formats::dateToStr(date);
        return {};
    }
    case TFilterCompare::Number:
    case TFilterCompare::Integer: {
        // An empty value asks for an empty field, which only "=" and "<>" can do.
        if (text.trimmed().isEmpty())
            return op == u"=" || op == u"<>" ? QString() : QStringLiteral("Chybné číslo!");
        double number = 0;
        return Formats::tryStrToFloat(text, number) ? QString() : QStringLiteral("Chybné číslo!");
    }
    default:
        return {};
    }
}

TFilterSql BuildFilterLines(const QList<TFilterRow> &rows)
{
    TFilterSql result;
    QString line;
    int groupField = -1;
    QString groupOp;
    for (const TFilterRow &row : rows) {
        const Condition c = buildCondition(row);
        if (c.field < 0)
            continue;
        if (line.isEmpty()) {
            line = u'(' + c.sql;
            groupField = c.field;
            groupOp = c.op;
        } else if (c.field == groupField && c.op == groupOp && c.op == u"LIKE") {
            line += QStringLiteral("OR") + c.sql;
        } else {
            result.lines << line + u')';
            line = QStringLiteral("AND(") + c.sql;
            groupField = c.field;
            groupOp = c.op;
        }
        result.values += c.values;
    }
    if (!line.isEmpty())
        result.lines << line + u')';
    return result;
}

QString FilterLikePattern(const QString &text)
{
    QString pattern;
    pattern.reserve(text.size() + 4);
    for (QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            pattern += u'\\';
        pattern += c == u'*' ? u'%' : c;
    }
    return pattern;
}

#include "import/MessageFormat.h"

#include "base/Formats.h"

namespace
{

std::optional<QString> formatArgument(QChar type, const QVariant &arg)
{
    bool ok = false;
    switch (type.unicode()) {
    case u's':
        // A text, as nearly every argument is, needs no asking of Qt's conversions.
        if (arg.typeId() == QMetaType::QString)
            return *static_cast<const QString *>(arg.constData());
        if (!arg.canConvert<QString>())
            return std::nullopt;
        return arg.toString();
    case u'd': {
        const qlonglong value = arg.toLongLong(&ok);
        if (!ok || arg.typeId() == QMetaType::Double)
            return std::nullopt;
        return QString::number(value);
    }
    case u'f': {
        const double value = arg.toDouble(&ok);
        if (!ok)
            return std::nullopt;
        // formatFloat("0.00") without reading its pattern for every line.
        static const Formats::FloatPattern twoDecimals(u"0.00");
        QByteArray text;
        Formats::appendFloat(text, twoDecimals, value, char(Formats::DecimalSeparator.unicode()));
        return QString::fromLatin1(text);
    }
    default:
        return std::nullopt;
    }
}

} // namespace

bool AppendMessageText(QString &out, const QString &format, const QVariantList &args)
{
    const qsizetype start = out.size();
    const auto fail = [&] {
        out.truncate(start);
        return false;
    };
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] != u'%') {
            // The text up to the next placeholder in one piece.
            qsizetype next = format.indexOf(u'%', i);
            if (next < 0)
                next = format.size();
            out += QStringView(format).mid(i, next - i);
            i = next - 1;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        // "%" index ":" type
        qsizetype j = i + 1;
        int index = 0;
        const qsizetype digitsStart = j;
        while (j < format.size() && format[j].isDigit() && j - digitsStart < 3)
            index = index * 10 + format[j++].digitValue();
        if (j == digitsStart || j + 1 >= format.size() || format[j] != u':')
            return fail();
        if (index >= args.size())
            return fail();
        const std::optional<QString> text = formatArgument(format[j + 1], args[index]);
        if (!text)
            return fail();
        out += *text;
        i = j + 1;
    }
    return true;
}

std::optional<QString> FormatMessageText(const QString &format, const QVariantList &args)
{
    QString result;
    result.reserve(format.size() + 16);
    if (!AppendMessageText(result, format, args))
        return std::nullopt;
    return result;
}

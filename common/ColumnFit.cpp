#include "ColumnFit.h"

#include "base/Formats.h"
#include "radio/Amater.h"

#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>

#include <algorithm>

namespace
{

QString widestChar(const QFontMetrics &metrics, char first, char last)
{
    QStringList chars;
    for (char c = first; c <= last; ++c)
        chars << QString(QLatin1Char(c));
    return WidestText(metrics, chars);
}

} // namespace

QString WidestText(const QFontMetrics &metrics, const QStringList &texts)
{
    if (texts.isEmpty())
        return {};
    // Whole pixels would tie letters of different widths ('G' and 'M'), and a run of the
    // narrower one comes out short: the widths are compared to the fraction.
    const QFontMetricsF exact(metrics);
    return *std::max_element(texts.begin(), texts.end(), [&exact](const QString &a, const QString &b) {
        return exact.horizontalAdvance(a) < exact.horizontalAdvance(b);
    });
}

QString WidestLocator(const QFontMetrics &metrics)
{
    const QString field = widestChar(metrics, 'A', 'R');
    const QString digit = widestChar(metrics, '0', '9');
    const QString subsquare = widestChar(metrics, 'A', 'X');
    return field + field + digit + digit + subsquare + subsquare;
}

QString WidestIota(const QFontMetrics &metrics)
{
    const QString continent = WidestText(
        metrics, {QStringLiteral("AF"), QStringLiteral("AN"), QStringLiteral("AS"), QStringLiteral("EU"),
                  QStringLiteral("NA"), QStringLiteral("OC"), QStringLiteral("SA")});
    return continent + widestChar(metrics, '0', '9').repeated(3);
}

QString WidestFrequency(const QFontMetrics &metrics)
{
    const int wholeDigits = int(QString::number(qint64(BandLow[BandCount - 2])).size());
    const QString digit = widestChar(metrics, '0', '9');
    return digit.repeated(wholeDigits) + Formats::DecimalSeparator + digit.repeated(6);
}

int ColumnWidthFor(const QAbstractItemView &view, const QString &text)
{
    // The item options a styled delegate lays a cell's text out with.
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.font = view.font();
    option.fontMetrics = QFontMetrics(view.font());
    option.widget = &view;
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = text;
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    const int cell = view.style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), &view).width();
    const auto *table = qobject_cast<const QTableView *>(&view);
    return cell + (table && table->showGrid() ? 1 : 0);
}

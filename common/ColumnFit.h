#pragma once
// Column widths taken from the font a grid really draws with. The stored widths were made for
// one font; where another one stands in (DejaVu Sans for a missing Tahoma), a column that
// holds values of a fixed shape is made wide enough for the widest value of that shape.

#include <QString>
#include <QStringList>

class QAbstractItemView;
class QFontMetrics;

// The widest of the texts in the font.
QString WidestText(const QFontMetrics &metrics, const QStringList &texts);
// The widest locator (two letters A-R, two digits, two letters A-X) in the font.
QString WidestLocator(const QFontMetrics &metrics);
// The widest IOTA reference: a continent code and three digits.
QString WidestIota(const QFontMetrics &metrics);
// The widest frequency in MHz as a grid shows it with the decimal comma: as many whole
// digits as the highest band needs and six decimals (to the hertz).
QString WidestFrequency(const QFontMetrics &metrics);

// The column width at which the view shows `text` whole in one of its cells: the text in the
// view's font with the cell margins of the view's style and the grid line.
int ColumnWidthFor(const QAbstractItemView &view, const QString &text);

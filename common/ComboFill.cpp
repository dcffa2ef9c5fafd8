#include "ComboFill.h"

#include "base/Formats.h"

#include <QComboBox>

#include <algorithm>

namespace {

// The items first..last of a table as texts, the range cut to the table.
template <typename T, typename ToText>
QStringList rangeOf(std::span<const T> items, int first, int last, ToText toText)
{
    QStringList list;
    const int from = std::max(first, 0);
    const int to = std::min<qsizetype>(last, qsizetype(items.size()) - 1);
    for (int i = from; i <= to; ++i)
        list.append(toText(items[i]));
    return list;
}

QStringList rangeOf(std::span<const QString> items, int first, int last)
{
    return rangeOf(items, first, last, [](const QString &item) { return item; });
}

QStringList floatTexts(std::span<const double> values, int first, int last)
{
    return rangeOf(values, first, last, Formats::floatToStr);
}

void replaceItems(QComboBox *box, const QStringList &items)
{
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(items.isEmpty() ? -1 : 0);
}

int lastIndex(size_t size)
{
    return int(size) - 1;
}

} // namespace

void FillComboBox(QComboBox *box, std::span<const QString> items)
{
    replaceItems(box, rangeOf(items, 0, lastIndex(items.size())));
}

void FillComboBoxFloat(QComboBox *box, std::span<const double> values)
{
    replaceItems(box, floatTexts(values, 0, lastIndex(values.size())));
}

void FillComboBoxRange(QComboBox *box, std::span<const QString> items, int first, int last)
{
    replaceItems(box, rangeOf(items, first, last));
}

void FillComboBoxFloatRange(QComboBox *box, std::span<const double> values, int first, int last)
{
    replaceItems(box, floatTexts(values, first, last));
}

void FillStringsRange(QStringList &strings, std::span<const QString> items, int first, int last)
{
    strings = rangeOf(items, first, last);
}

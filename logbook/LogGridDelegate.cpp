#include "LogGridDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QtMath>

namespace
{

// Texts kept laid out: a few screens of a grid's cells.
constexpr qsizetype MaxKeptTexts = 8192;

// Texts the style would lay out on more than one line.
bool breaksLines(const QString &text)
{
    return text.contains(u'\n') || text.contains(QChar::LineSeparator);
}

QStyle *styleOf(const QStyleOptionViewItem &option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

} // namespace

void TLogGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QString text = index.data(Qt::DisplayRole).toString();
    const QStyle::State state = option.state;
    if (state.testFlag(QStyle::State_Selected) || state.testFlag(QStyle::State_Editing) || breaksLines(text)
        || !index.data(Qt::DecorationRole).isNull() || !index.data(Qt::CheckStateRole).isNull()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyle *style = styleOf(option);
    painter->save();
    const QVariant background = index.data(Qt::BackgroundRole);
    if (background.canConvert<QBrush>())
        painter->fillRect(option.rect, qvariant_cast<QBrush>(background));

    if (!text.isEmpty()) {
        // The colour group and the margins of the style's own item text.
        QPalette::ColorGroup group = state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        if (group == QPalette::Normal && !state.testFlag(QStyle::State_Active))
            group = QPalette::Inactive;
        const QVariant foreground = index.data(Qt::ForegroundRole);
        painter->setPen(foreground.canConvert<QBrush>() ? qvariant_cast<QBrush>(foreground).color()
                                                        : option.palette.color(group, QPalette::Text));
        painter->setFont(option.font);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
        const QRect textRect = option.rect.adjusted(margin, 0, -margin, 0);
        const QVariant alignment = index.data(Qt::TextAlignmentRole);
        const Qt::Alignment align = QStyle::visualAlignment(
            option.direction,
            alignment.isValid() ? Qt::Alignment(alignment.toInt()) : Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        const QStaticText *shown = &laidOut(text, option.font);
        if (shown->size().width() > textRect.width())
            shown = &laidOut(option.fontMetrics.elidedText(text, option.textElideMode, textRect.width()), option.font);
        // Placed as the style places a line of item text: its box aligned in the rectangle.
        const QSize size(qCeil(shown->size().width()), option.fontMetrics.height());
        painter->drawStaticText(QStyle::alignedRect(option.direction, align, size, textRect).topLeft(), *shown);
    }

    if (state.testFlag(QStyle::State_HasFocus)) {
        // One cell of the grid: its frame is placed from the full item options, as the
        // style places it.
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(item);
        focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &item, option.widget);
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor = option.palette.color(
            state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled, QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
    painter->restore();
}

const QStaticText &TLogGridDelegate::laidOut(const QString &text, const QFont &font) const
{
    if (font != m_font || m_texts.size() >= MaxKeptTexts) {
        m_texts.clear();
        m_font = font;
    }
    auto it = m_texts.find(text);
    if (it == m_texts.end()) {
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        laid.setTextWidth(-1);
        laid.prepare(QTransform(), font);
        it = m_texts.insert(text, laid);
    }
    return *it;
}

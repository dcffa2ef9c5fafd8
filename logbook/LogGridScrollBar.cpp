#include "LogGridScrollBar.h"

#include <QEvent>
#include <QStyleOptionSlider>

TLogGridScrollBar::TLogGridScrollBar(Qt::Orientation orientation, QWidget *parent) : QScrollBar(orientation, parent)
{
}

TLogGridScrollBar::Look TLogGridScrollBar::look() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const auto rect = [&](QStyle::SubControl part) {
        return style()->subControlRect(QStyle::CC_ScrollBar, &option, part, this);
    };
    Look look;
    look.slider = rect(QStyle::SC_ScrollBarSlider);
    look.groove = rect(QStyle::SC_ScrollBarGroove);
    look.addLine = rect(QStyle::SC_ScrollBarAddLine);
    look.subLine = rect(QStyle::SC_ScrollBarSubLine);
    look.state = option.state;
    look.active = option.activeSubControls;
    look.atMinimum = option.sliderPosition == option.minimum;
    look.atMaximum = option.sliderPosition == option.maximum;
    look.empty = option.minimum == option.maximum;
    return look;
}

void TLogGridScrollBar::sliderChange(SliderChange change)
{
    // The steps, the range and the value only place the thumb; the orientation changes more.
    if (change == SliderOrientationChange || !m_paintedOnce || !isVisible()) {
        QScrollBar::sliderChange(change);
        return;
    }
    if (m_checkPending)
        return;
    m_checkPending = true;
    // The window's update request comes before its paint, in the same pass; without one
    // the queued call looks once the current events are done.
    QWidget *top = window();
    if (top != m_watchedWindow) {
        if (m_watchedWindow)
            m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = top;
        top->installEventFilter(this);
    }
    QMetaObject::invokeMethod(this, &TLogGridScrollBar::checkLook, Qt::QueuedConnection);
}

bool TLogGridScrollBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedWindow && event->type() == QEvent::UpdateRequest)
        checkLook();
    return QScrollBar::eventFilter(watched, event);
}

void TLogGridScrollBar::checkLook()
{
    if (!m_checkPending)
        return;
    m_checkPending = false;
    if (look() != m_painted)
        update();
}

void TLogGridScrollBar::paintEvent(QPaintEvent *event)
{
    m_painted = look();
    m_paintedOnce = true;
    m_checkPending = false;
    QScrollBar::paintEvent(event);
}

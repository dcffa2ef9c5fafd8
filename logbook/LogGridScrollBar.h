#pragma once
// The log grid's scroll bar. Over a large log one row more or less moves neither the thumb
// nor its length by a pixel, yet QScrollBar paints itself again (and the window behind it)
// on every change of range or value, as saving a QSO does. This one is painted again only
// when what it shows has changed. A range change places the thumb for the old value before
// the value follows, so the look is compared once the changes are over: before the window
// paints, or when the events of the moment are done.

#include <QPointer>
#include <QScrollBar>
#include <QStyle>

class TLogGridScrollBar : public QScrollBar
{
    Q_OBJECT
public:
    explicit TLogGridScrollBar(Qt::Orientation orientation, QWidget *parent = nullptr);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // What the style draws from: the places of its parts and their states, not the numbers.
    struct Look
    {
        QRect slider, groove, addLine, subLine;
        QStyle::State state;
        QStyle::SubControls active;
        bool atMinimum = false, atMaximum = false, empty = false;
        bool operator==(const Look &) const = default;
    };
    Look look() const;
    void checkLook();

    Look m_painted;
    bool m_paintedOnce = false;
    bool m_checkPending = false;
    QPointer<QWidget> m_watchedWindow;
};

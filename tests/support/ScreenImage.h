#pragma once
// What a window shows where a widget is, read back from the screen as a person would see
// it: the window's backing store as last flushed, not the widget painted anew.

#include <QImage>

class QWidget;

// The screen's pixels over the widget, as RGB32.
QImage WidgetOnScreen(const QWidget *widget);

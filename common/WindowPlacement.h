#pragma once
// Where a dialog appears: centred on the window that owns it. The owner's place is
// taken as the window system will show it, also while it is still being mapped at
// start: a maximised owner covers its screen's work area, a hidden or minimised one
// leaves the dialog centred on the screen.

class QWidget;
class QRect;

// The rectangle a window owned by `owner` is centred on.
QRect OwnerArea(const QWidget *owner, const QWidget *window);

// Moves the window so that its frame is centred on OwnerArea(owner, window).
void CentreOnOwner(QWidget *window, const QWidget *owner);

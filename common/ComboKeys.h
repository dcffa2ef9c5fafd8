#pragma once
// An editable combo box is the focus proxy of its line edit: a real key press and the focus
// changes arrive at the box, which hands them to its line edit by a direct call, past every
// event filter of the line edit. A window that handles keys or focus changes of such a box
// therefore watches the box; it watches the line edit too, for events sent to it directly.

class QComboBox;
class QObject;

// Installs `filter` on the box and on its line edit (when it has one); call it again after
// the box gets a new line edit.
void WatchComboKeys(QComboBox *box, QObject *filter);

// True when `watched` is the box or its line edit.
bool IsComboEventOf(const QObject *watched, const QComboBox *box);

#pragma once
// The one way the program runs a modal window. Windows call RunModal instead of
// QDialog::exec(); a test installs a hook that answers each window by its object name
// and fails at once on a window it did not expect, instead of waiting for a person.

#include <functional>

class QDialog;

using TModalHook = std::function<int(QDialog &dialog)>;

// Shows the dialog modally and returns its modal result (1 OK, 2 cancel, 3 abort,
// 6 yes, 7 no); with a hook installed, the hook's answer instead.
int RunModal(QDialog &dialog);

// Installs the hook (an empty function removes it); returns the one it replaces.
TModalHook SetModalHook(TModalHook hook);

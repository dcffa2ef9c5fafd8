#pragma once
// The application object of the programs: a QApplication that keeps any failure that a
// window's event handler let escape from ending the program. Such a failure (an
// operator-facing EVelkorError, or any other standard exception) is shown in an error
// message box, as the program shows the failures of its commands, and the event loop
// goes on. The message is shown once the event that failed has been left, so that no box
// opens inside a paint or a layout; the same text waiting to be shown is shown once.
//
// This is the last guard: the windows catch what their commands expect, and the views
// read the log without raising.

#include <QApplication>
#include <QStringList>

class TVelkorApplication : public QApplication
{
    Q_OBJECT
public:
    TVelkorApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // The failures caught so far and not yet shown (tests read it).
    const QStringList &PendingFailures() const { return m_pending; }

private:
    void reportLater(const QString &text);
    void showPending();

    QStringList m_pending;
};

#pragma once
// Drives the modal dialogs that a window opens with exec(): the test says which dialog
// (by object name) comes next and what to do with it; the driver waits for it in the
// event loop that exec() runs and acts on it there.

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class ModalDriver
{
public:
    using Action = std::function<void(QWidget *dialog)>;

    ModalDriver()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    }

    // The next modal dialog named objectName gets `action`.
    void onNext(const QString &objectName, Action action)
    {
        m_name = objectName;
        m_action = std::move(action);
        m_ran = false;
        m_caption.clear();
        m_timer.start();
    }

    // True once the awaited dialog appeared and was acted on.
    bool ran() const { return m_ran; }
    // The window title of the dialog acted on.
    QString caption() const { return m_caption; }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != m_name || !modal->isVisible())
            return;
        m_timer.stop();
        m_ran = true;
        m_caption = modal->windowTitle();
        Action action = std::move(m_action);
        action(modal);
    }

    QTimer m_timer;
    QString m_name;
    Action m_action;
    bool m_ran = false;
    QString m_caption;
};

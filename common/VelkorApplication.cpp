#include "VelkorApplication.h"

#include "base/Messages.h"
#include "base/VelkorError.h"

#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcApplication, "velkor.application")

TVelkorApplication::TVelkorApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TVelkorApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const EVelkorError &e) {
        reportLater(e.message());
    } catch (const std::exception &e) {
        reportLater(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void TVelkorApplication::reportLater(const QString &text)
{
    qCWarning(lcApplication) << "failure escaped an event handler:" << text;
    if (m_pending.contains(text))
        return;
    m_pending.append(text);
    if (m_pending.size() == 1)
        QTimer::singleShot(0, this, &TVelkorApplication::showPending);
}

void TVelkorApplication::showPending()
{
    // A message box runs its own loop, in which another failure may be queued.
    while (!m_pending.isEmpty()) {
        const QString text = m_pending.first();
        MessageDlgDef(text, mtError, mbOK, mrOk);
        m_pending.removeFirst();
    }
}

#include "ModalScript.h"

#include "base/Messages.h"

#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>

ModalScript::ModalScript()
    : m_reporter([](const QString &message) { QTest::qFail(qPrintable(message), __FILE__, __LINE__); })
{
    m_previous = SetModalHook([this](QDialog &dialog) { return run(dialog); });
}

ModalScript::~ModalScript()
{
    SetModalHook(std::move(m_previous));
}

ModalScript &ModalScript::answer(const QString &objectName, int result)
{
    return handle(objectName, [result](QDialog &) { return result; });
}

ModalScript &ModalScript::handle(const QString &objectName, Handler handler)
{
    m_steps.append({objectName, std::move(handler), {}});
    return *this;
}

ModalScript &ModalScript::drive(const QString &objectName, Driver driver)
{
    m_steps.append({objectName, {}, std::move(driver)});
    return *this;
}

ModalScript &ModalScript::handleAlways(const QString &objectName, Handler handler)
{
    m_always.removeIf([&](const auto &entry) { return entry.first == objectName; });
    m_always.append({objectName, std::move(handler)});
    return *this;
}

ModalScript &ModalScript::answerAlways(const QString &objectName, int result)
{
    return handleAlways(objectName, [result](QDialog &) { return result; });
}

int ModalScript::run(QDialog &dialog)
{
    m_shownNames << dialog.objectName();
    m_shownTitles << dialog.windowTitle();
    if (!m_steps.isEmpty() && m_steps.first().objectName == dialog.objectName()) {
        const Step step = m_steps.takeFirst();
        return step.driver ? runDriven(dialog, step.driver) : step.handler(dialog);
    }
    for (const auto &[name, handler] : m_always)
        if (name == dialog.objectName())
            return Handler(handler)(dialog); // a copy: the handler may replace itself
    return unexpected(dialog, m_steps.isEmpty()
                                  ? QStringLiteral("no window was expected")
                                  : QStringLiteral("expected \"%1\"").arg(m_steps.first().objectName));
}

int ModalScript::runDriven(QDialog &dialog, const Driver &driver)
{
    QPointer<QDialog> guard(&dialog);
    QTimer::singleShot(0, &dialog, [guard, driver] {
        driver(*guard);
        // Whatever the driver left open is closed, so that the loop below always ends.
        if (guard && guard->isVisible())
            guard->done(mrCancel);
    });
    return dialog.exec();
}

int ModalScript::unexpected(QDialog &dialog, const QString &why)
{
    const QString message = QStringLiteral("unexpected modal window \"%1\" (%2): %3")
                                .arg(dialog.objectName(), dialog.windowTitle(), why);
    m_failures << message;
    m_reporter(message);
    dialog.done(mrCancel);
    return mrCancel;
}

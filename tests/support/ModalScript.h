#pragma once
// Scripts the modal windows a test expects, in order, by object name. Installs itself as
// the program's modal hook for its lifetime. A window may be answered with a modal result
// without being shown, handled by a function that returns the result, or shown modally
// and driven from inside its own event loop. A window the script does not expect fails
// the test at once and is closed with "cancel", so a test never waits for a person.

#include "ModalRunner.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;

class ModalScript
{
public:
    using Handler = std::function<int(QDialog &dialog)>;
    using Driver = std::function<void(QDialog &dialog)>;
    // Receives the description of an unexpected window; the default fails the running test.
    using FailureReporter = std::function<void(const QString &message)>;

    ModalScript();
    ~ModalScript();
    ModalScript(const ModalScript &) = delete;
    ModalScript &operator=(const ModalScript &) = delete;

    // The next window must be objectName; it is not shown and gives `result`.
    ModalScript &answer(const QString &objectName, int result);
    // The next window must be objectName; `handler` looks at it (not shown) and gives the result.
    ModalScript &handle(const QString &objectName, Handler handler);
    // The next window must be objectName; it is shown modally and `driver` runs inside its
    // event loop. Its modal result is what the driver left; a window the driver leaves
    // open is closed with cancel.
    ModalScript &drive(const QString &objectName, Driver driver);
    // Every window named objectName that comes while no step awaits it is handled by
    // `handler`, which replaces an earlier one for that name.
    ModalScript &handleAlways(const QString &objectName, Handler handler);
    ModalScript &answerAlways(const QString &objectName, int result);

    // Object names and titles of the windows that came, expected or not, in order.
    QStringList shownNames() const { return m_shownNames; }
    QStringList shownTitles() const { return m_shownTitles; }
    QString lastTitle() const { return m_shownTitles.isEmpty() ? QString() : m_shownTitles.last(); }
    // Expected windows that have not come yet.
    int pending() const { return int(m_steps.size()); }
    // The unexpected windows, described.
    QStringList failures() const { return m_failures; }

    void setFailureReporter(FailureReporter reporter) { m_reporter = std::move(reporter); }

private:
    struct Step {
        QString objectName;
        Handler handler; // set: answered without showing
        Driver driver;   // set: shown and driven
    };

    int run(QDialog &dialog);
    int runDriven(QDialog &dialog, const Driver &driver);
    int unexpected(QDialog &dialog, const QString &why);

    QList<Step> m_steps;
    QList<QPair<QString, Handler>> m_always;
    QStringList m_shownNames;
    QStringList m_shownTitles;
    QStringList m_failures;
    FailureReporter m_reporter;
    TModalHook m_previous;
};

#include "export/DesktopOpener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <memory>

namespace
{

// How long the opener is waited for. Most openers hand the file over and end at once; the
// generic one runs the program itself and only ends with it, so one still running after
// this has found a program.
constexpr int OpenerWaitMs = 2000;

bool runOpener(const QString &program, const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted())
        return false;
    if (process->waitForFinished(OpenerWaitMs))
        return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    // Left to end with the program it runs; destroying it now would kill the opener.
    QProcess *running = process.release();
    QObject::connect(running, &QProcess::finished, running, &QObject::deleteLater);
    return true;
}

} // namespace

bool OpenWithDesktop(const QString &fileName)
{
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!xdgOpen.isEmpty())
        return runOpener(xdgOpen, {fileName});
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (!gio.isEmpty())
        return runOpener(gio, {QStringLiteral("open"), fileName});
    return QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
}

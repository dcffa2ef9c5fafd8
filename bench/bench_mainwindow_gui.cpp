// Times the main window on a large log, offscreen: from OpenLog to the first painted grid,
// a re-sort by call sign, and scrolling a page down and back up, each until the grid is
// painted again.
// Usage: bench_mainwindow_gui [count]   (default 100000 QSOs)

#include "AppGlobals.h"
#include "DmLog.h"
#include "LogGrid.h"
#include "MainWindow.h"
#include "ProgressDialog.h"
#include "RandomLog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void writeOperator(const QString &dataDir, const QString &call)
{
    TUserOptions uo;
    uo.SetCall(call);
    for (int field = fiDAT; field < LogFieldCount; ++field) {
        const QString &name = LogFieldNames[field];
        uo.SetColumnCaption(name, LogFieldCaptions[field]);
        uo.SetColumnCaptionAlignment(name, LogColumnTitleAlignments[field]);
        uo.SetColumnAlignment(name, LogColumnAlignments[field]);
        uo.SetColumnWidth(name, LogColumnWidths[field][3]);
        uo.SetColumnVisible(name, LogColumnVisible[field][3]);
        uo.SetColumnIndex(name, LogColumnPositions[field]);
    }
    uo.SaveAs(dataDir + call + ".uf");
}

double ms(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

// A key press on the grid followed by a painted window.
double keyAndPaint(TfrmVelkor &window, int key)
{
    QElapsedTimer t;
    t.start();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(window.dbgLog, &press);
    window.grab();
    return ms(t);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;

    QTemporaryDir dir;
    const QString appDir = dir.path() + "/";
    QDir().mkpath(appDir + "Data");
    QDir().mkpath(appDir + "tmp");
    qputenv("TEMP", (appDir + "tmp").toLocal8Bit());
    QFile ini(appDir + "Velkor.ini");
    ini.open(QIODevice::WriteOnly);
    ini.write("[Users]\n0=OK1BIG\n\n");
    ini.close();

    QElapsedTimer t;
    t.start();
    writeOperator(appDir + "Data/", "OK1BIG");
    BuildRandomLog(appDir + "Data/OK1BIG.db", count);
    std::printf("log of %d QSOs written in %.0f ms\n", count, ms(t));

    TdmLog dm(appDir);
    dmLog = &dm;
    TfrmVelkor window(dm);
    frmVelkor = &window;
    frmDialog = new TfrmDialog(&window);
    window.resize(1280, 800);
    window.show();
    window.grab();

    t.restart();
    window.OpenLog("OK1BIG");
    const double opened = ms(t);
    window.grab();
    std::printf("OpenLog:                          %8.1f ms\n", opened);
    std::printf("OpenLog to the first painted grid: %7.1f ms (%d rows, on record %d)\n", ms(t),
                window.qLog->RecordCount(), window.qLog->RecNo());

    t.restart();
    window.actSortByCall->trigger();
    window.grab();
    std::printf("re-sort by call sign and paint:    %7.1f ms\n", ms(t));

    double down = 0, up = 0;
    for (int i = 0; i < 10; ++i)
        up += keyAndPaint(window, Qt::Key_PageUp);
    for (int i = 0; i < 10; ++i)
        down += keyAndPaint(window, Qt::Key_PageDown);
    std::printf("page up and paint (mean of 10):    %7.1f ms\n", up / 10);
    std::printf("page down and paint (mean of 10):  %7.1f ms\n", down / 10);

    t.restart();
    window.actSortByDateTime->trigger();
    window.grab();
    std::printf("re-sort by date and time and paint: %6.1f ms\n", ms(t));

    t.restart();
    window.CloseLog();
    std::printf("CloseLog:                          %7.1f ms\n", ms(t));
    frmDialog = nullptr;
    frmVelkor = nullptr;
    dmLog = nullptr;
    return 0;
}

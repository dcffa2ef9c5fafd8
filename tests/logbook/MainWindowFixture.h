#pragma once
// The main window on the sample log of QsoTestFixture, with the program-wide instances set
// as the program sets them and the QSO commands installed.

#include "QsoTestFixture.h"

#include "AppGlobals.h"
#include "LogGrid.h"
#include "LogTableModel.h"
#include "MainWindow.h"
#include "ProgressDialog.h"

#include <QTest>

#include <memory>

struct MainWindowFixture {
    QsoTestFixture fx;
    std::unique_ptr<TfrmVelkor> window;

    // withSampleLog false: the log stays empty and nothing is opened until start(), so
    // that a test may change the files first.
    explicit MainWindowFixture(bool withSampleLog = true)
    {
        if (!withSampleLog)
            return;
        fx.insertSampleLog();
        start();
    }

    // The program-wide instances, the main window, and the log opened in it.
    void start()
    {
        dmLog = fx.dm.get();
        DxccList = fx.dxcc.get();
        window = std::make_unique<TfrmVelkor>(*fx.dm);
        frmVelkor = window.get();
        frmDialog = new TfrmDialog(window.get());
        window->InstallQsoCommands();
        window->resize(1000, 600);
        window->show();
        window->OpenLog(QsoTestFixture::Call);
        activate();
    }

    // The progress window takes the activation while it is shown; keys go to the main
    // window again once it is active.
    void activate()
    {
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("main window not active");
        window->dbgLog->setFocus();
    }

    ~MainWindowFixture()
    {
        frmDialog = nullptr; // owned by the window
        window.reset();
        frmVelkor = nullptr;
        DxccList = nullptr;
        dmLog = nullptr;
    }

    TfrmVelkor &w() { return *window; }
    LogTableModel &model() { return *window->logModel(); }
    LogQuery &query() { return *window->qLog; }

    // Makes the QSO with that call sign current and toggles its mark.
    void mark(const QString &call)
    {
        QVERIFY(query().Locate(fiCALL, call));
        model().ToggleMark(query().Bookmark());
    }

    // The stored record of the QSO with that call sign.
    TLogRecord stored(const QString &call)
    {
        for (const TLogRecord &r : fx.rows())
            if (r[fiCALL].toString() == call)
                return r;
        return {};
    }
};

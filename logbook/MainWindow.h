#pragma once
// The logbook's main window: the open log in a read-only grid over the grid query, the
// menu bar and tool bar bound to the window's commands, a strip with details of the
// current QSO and a three-panel status bar. It opens, closes, sorts and refreshes the log
// (MainWindowLog.cpp) and holds every command of the logbook as an action
// (MainWindowActions.cpp); commands whose windows are not part of the program yet stay
// in the menus, disabled, until a handler is set with SetCommandHandler.

#include "system/ClusterLinkRecords.h"
#include "log/LogQuery.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QSet>
#include <QStringList>
#include <QVariantList>

#include <functional>

class QAbstractButton;
class QActionGroup;
class QDialog;
class QLabel;
class QKeyEvent;
class QMenu;
class QMouseEvent;
class QStatusBar;
class QToolBar;
class LogTableModel;
class TdmLog;
class TfrmFind;
class TLocalEndpoint;
class TLogGrid;
struct TQsoWindowContext;

class TfrmVelkor : public QMainWindow
{
    Q_OBJECT
public:
    // The time server's port and how long the clock setting waits for its answer.
    static constexpr quint16 DefaultNtpPort = 123;
    static constexpr int NtpTimeoutMs = 4000;

    explicit TfrmVelkor(TdmLog &dm, QWidget *parent = nullptr);
    ~TfrmVelkor() override;

    // --- the log (MainWindowLog.cpp) ---
    // Opens the log whose settings file is DataDir + logName + ".uf". A settings file that
    // is missing, unreadable or names no call sign is reported and the program is asked
    // to end (Terminate); a log file that cannot be opened is reported and no log stays open.
    void OpenLog(const QString &logName);
    // Stores the column layout, makes the automatic backup when due, saves and clears
    // the operator settings and empties the window. With no log open it only resets the
    // window. A failed backup is reported and the close goes on; the last-backup date is
    // set all the same, so the next close does not try again.
    void CloseLog();
    // Orders the grid by the field (-1: the current order); force re-queries even when
    // the order stays, to apply or lift the filter or show changed data. The current QSO
    // keeps its screen row. Ignored while QSOs are marked, except for -1. True when the
    // grid shows the order asked for; a log that another program holds keeps the grid and
    // the order it had (said in a message), and answers false.
    bool SortLog(int fieldIndex, bool force);
    // Re-runs the query unchanged; keepPosition returns to the record number, otherwise
    // the grid ends on the last record.
    void RefreshLog(bool showProgress, bool keepPosition);
    // The same after only the QSOs with these IDs were written or deleted: only they are
    // read again and put at their place, which gives the same grid.
    void RefreshLog(bool showProgress, bool keepPosition, const QList<qint64> &changedIds);
    // Sets the PC clock from the operator's time server; a failure is reported.
    void SynchronizeClock();
    // Writes the automatic backup of the open log when it is due.
    void AutoBackup();
    // The DX-cluster client's window size, kept in the operator settings in memory.
    void StoreDxClusterWindow(const TDxClusterWindowData &data);
    // Receives the client's window-size reports at this endpoint (the main window's own,
    // "TfrmVelkor"); not owned.
    void AttachEndpoint(TLocalEndpoint *endpoint);

    // --- the grid ---
    void LoadColumns();
    void ApplyGridFont();
    void ApplyDisplayFormats();
    void qLogAfterOpen();
    void qLogAfterScroll();
    LogTableModel *logModel() const { return m_model; }
    int SortField() const { return FSortField; }
    bool FilterOn() const;
    // The filter's WHERE condition lines (with "?" for values) and the bound values.
    QStringList FFilterLines;
    QVariantList FFilterValues;

    // --- commands ---
    // Binds the command's handler; the command then follows its enabled rule. Commands
    // without a handler stay disabled.
    void SetCommandHandler(QAction *action, std::function<void()> handler);
    bool HasCommandHandler(QAction *action) const { return !m_unavailable.contains(action); }
    // The time server's port (tests point it at a fake server).
    static quint16 NtpPort;
    static int NtpTimeout;

    // A later start of the program asks for the window: a minimised window comes back in
    // the state it had (maximised stays maximised), raised and active.
    void BringToFront();
    // The window takes the keyboard back for the grid, so that its keys (F2 ...) work at
    // once, as after a modal window that changed the log.
    void FocusGrid();

    // The application was asked to end (settings unreadable, no log left after the log
    // choice); the message loop ends, or does not start.
    bool Terminated() const { return m_terminated; }
    void Terminate();

    // Rebuilds the column pop-up for the column of the field under the cursor (0: none):
    // "Skrýt sloupec", then one checkable item per column in grid order.
    void BuildColumnsMenu(int fieldUnderCursor);
    // Shows or hides the field's column and stores the visibility in the operator settings.
    void ShowHideColumn(int field);

    // The texts of the status bar's three panels.
    QString StatusPanelText(int panel) const;
    // The current QSO's details in the strip under the tool bar, in their order.
    QStringList QSOPanelTexts() const;

    TdmLog &dm() const { return m_dm; }

    LogQuery *qLog;
    TLogGrid *dbgLog;
    // The log's search window (owned; made when the browsing commands are installed).
    TfrmFind *frmFind = nullptr;
    QToolBar *tlBar;
    QWidget *pnlQSO;
    QStatusBar *stBarHlavni;
    QMenu *pmMain;
    QMenu *pmColumns;
    QMenu *pmSelectQSO;
    QAction *miSelQSO;

    QAction *actNewQSO, *actShowQSO, *actEditQSO, *actDeleteQSO;
    QAction *actQSLoN, *actQSLoY, *actQSLoR, *actQSLoI, *actQSLpN, *actQSLpY, *actEQSLN, *actEQSLY;
    QAction *actSortByDateTime, *actSortByCall, *actSortByFreq, *actSortByBand, *actSortByMode,
        *actSortByName, *actSortByQTH, *actSortByLOCp, *actSortByQSLo, *actSortByQSLp, *actSortByQSLmgr,
        *actSortByEQSL, *actSortByDxcc, *actSortByIOTA, *actSortByITU, *actSortByWAZ, *actSortByAward,
        *actSortByLOCo, *actSortByQRB, *actSortByPWR, *actSortByNote;
    QAction *actFilter, *actFindQSO, *actAziDis, *actFindDXCC, *actCallBook, *actDXCCList, *actIOTAList,
        *actStatTab, *actDxCluster;
    QAction *actSelectLog, *actOptions;
    QAction *actExportAdif, *actExportADIFshort, *actExportCSV, *actExportTXT, *actExportXLS;
    QAction *actImportADIF, *actImportTrevan, *actImportOstrel;
    QAction *acBackUpLog, *acRestoreLog;
    QAction *actPrintQSL, *actPrintLog;
    QAction *actHelp, *actHelpHistory, *actHelpAbout, *actEnd;
    QAction *actFirstQSO, *actLastQSO;
    QAction *actSelQSO, *actSelAllQSO, *actSelNoneQSO;
    QActionGroup *sortGroup;

    // The sort action of a field, nullptr for a field that cannot be sorted.
    QAction *SortAction(int fieldIndex) const;

    // --- QSOs and marked QSOs (MainWindowMarked.cpp) ---
    // Gives their handlers to the commands of the QSO window, marking, bulk edit, delete,
    // the eight QSL states, backup and restore.
    void InstallQsoCommands();
    // What the QSO window works with from this window.
    TQsoWindowContext QsoWindowContext();
    // Field 13 (QSLo, 0..3), 14 (QSLp, 0..1) or 16 (eQSL, 0..1) of every marked QSO
    // becomes the value; without marks the current QSO's state toggles between the value
    // and 0. The marks stay; the current QSO keeps its screen row.
    void SetQSLState(int fieldIndex, int value);
    // One field of every marked QSO, chosen in the bulk edit dialog, in one transaction.
    void EditSelectedQSOs();
    // Deletes the marked QSOs, or the current one without marks, in one transaction.
    void DeleteQSOs();
    // Shows the step (0..12) of the QSL-label ordering in the progress window.
    void QSLSortProgress(int step);

signals:
    // The window was closed (after the operator confirmed and the log was closed).
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Window (MainWindow.cpp)
    void FormCreate();
    void createGrid();
    void createQSOPanel();
    void createStatusBar();
    void SetColumnPosition(int field, int position);
    void widenShapedColumns();
    void ColourTitles();
    void UpdateQSOPanel();
    void UpdateMarksPanel();
    void SyncGridToQuery(int row);
    void GridCurrentChanged(int row);
    bool dbgLogKeyDown(QKeyEvent *event);
    bool dbgLogMouseUp(QMouseEvent *event);
    bool dbgLogTitleMouseUp(QMouseEvent *event, int column);
    void dbgLogTitleClick(int logicalColumn);
    void pmMainPopup();
    void StoreColumns();
    void ClearColumns();
    bool RefuseWhileMarked(const QString &message);

    // Commands (MainWindowActions.cpp)
    QAction *newAction(const char *name, const QString &text, const QString &hint,
                       const QList<QKeySequence> &shortcuts = {});
    void createActions();
    void createSortActions();
    void createMenus();
    void createToolBar();
    void UpdateRecordActions(bool hasRecords);
    void applyEnabled(QAction *action, bool ruleAllows);
    void actSortExecute(QAction *action);
    void actSelectLogExecute();
    void actOptionsExecute();
    void actFirstQSOExecute();
    void actLastQSOExecute();
    void actHelpAboutExecute();

    // QSOs and marked QSOs (MainWindowMarked.cpp)
    void actNewQSOExecute();
    void actShowQSOExecute();
    void actEditQSOExecute();
    void actDeleteQSOExecute();
    void actSelQSOExecute();
    void actSelAllQSOExecute();
    void actSelNoneQSOExecute();
    void acBackUpLogExecute();
    void acRestoreLogExecute();
    void openQsoWindow(int mode);
    void reopenAt(int recNo, const QList<qint64> &changedIds);
    QString backUpFolder() const;

    // Log (MainWindowLog.cpp)
    void applyQueryText();
    bool requery(int failureCode, const QList<qint64> *changedIds = nullptr);
    void refreshLog(bool showProgress, bool keepPosition, const QList<qint64> *changedIds);
    void setTitleForLog();
    void resetWindow();
    void saveOperatorSettings();

    TdmLog &m_dm;
    LogTableModel *m_model;
    int FSortField = 1;
    bool m_terminated = false;
    Qt::WindowStates m_shownState = Qt::WindowNoState;
    bool m_syncingGrid = false;
    bool m_columnsLoaded = false;
    QAbstractButton *m_corner = nullptr;
    QList<QAction *> m_recordActions;
    QSet<QAction *> m_unavailable;
    QHash<QAction *, bool> m_ruleAllows;
    QHash<int, QAction *> m_sortActions;
    QList<QLabel *> m_statusPanels;
    QList<QLabel *> m_qsoValues;
    QString m_marksPanelText;
};

extern TfrmVelkor *frmVelkor;

// Opening, closing, ordering and refreshing the log of the main window, the automatic
// backup, setting the clock from a time server, and the DX-cluster client's window size.

#include "MainWindow.h"

#include "AppGlobals.h"
#include "backup/BackUp.h"
#include "backup/BackUpSchedule.h"
#include "base/DatabaseError.h"
#include "log/DmLog.h"
#include "base/FileError.h"
#include "FilterDialog.h"
#include "base/Formats.h"
#include "settings/IniFile.h"
#include "LogGrid.h"
#include "LogTableModel.h"
#include "base/Messages.h"
#include "base/MessageTexts.h"
#include "ProgressDialog.h"
#include "QueryWork.h"
#include "system/SntpClient.h"
#include "system/SystemClock.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QProgressBar>

#include <algorithm>

namespace {

void reportOpenFailure(int code)
{
    MessageDlgDef(QStringLiteral("(DO-%1) Chyba při otevírání databáze!").arg(code), mtError, mbOK, mrOk);
}

// The progress window of the log's opening, closed whatever happens.
class OpeningProgress
{
public:
    OpeningProgress()
    {
        if (frmDialog)
            frmDialog->ShowProgress(QStringLiteral("Nastavuji fonty ..."), 0, 7);
    }
    ~OpeningProgress()
    {
        if (frmDialog)
            frmDialog->close();
    }
    // The gauge's step done, and the text of the next step, which follows at once. The gauge
    // would paint itself at its change; it is painted with the text instead, in one paint of
    // the window.
    void step(int value, const QString &nextText = {})
    {
        if (!frmDialog)
            return;
        if (nextText.isEmpty()) {
            frmDialog->SetProgress(value);
            return;
        }
        QProgressBar *gauge = frmDialog->pgBar();
        gauge->setUpdatesEnabled(false);
        gauge->setValue(std::clamp(value, gauge->minimum(), gauge->maximum()));
        gauge->setUpdatesEnabled(true);
        frmDialog->SetText(nextText);
    }
    void hide()
    {
        if (frmDialog)
            frmDialog->hide();
    }
    // Shown again after a message, and painted at once: the window system maps it only from
    // the event loop, which does not run until the log is open.
    void show()
    {
        if (!frmDialog)
            return;
        frmDialog->show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        frmDialog->repaint();
    }
};

} // namespace

void TfrmVelkor::setTitleForLog()
{
    const QString &call = m_dm.UserOptions.Call;
    setWindowTitle(call.isEmpty() ? QStringLiteral("Velkor") : QStringLiteral("Velkor \"%1\"").arg(call));
}

void TfrmVelkor::OpenLog(const QString &logName)
{
    qLog->Close();
    m_model->ClearMarks();
    TUserOptions &uo = m_dm.UserOptions;
    // The log's name and the call sign its settings name become file names in the data
    // folder: anything but letters and digits is refused before a file is touched.
    if (!TdmLog::IsValidLogName(logName)) {
        uo.Clear();
        MessageDlgDef(TdmLog::InvalidLogNameText(logName) + QStringLiteral("\nProgram bude ukončen!"), mtError, mbOK,
                      mrOk);
        Terminate();
        return;
    }
    const QString settingsFile = m_dm.DataDir + logName + QStringLiteral(".uf");
    bool loaded = false;
    try {
        // A settings file that is missing or names no operator is no log either.
        loaded = QFileInfo::exists(settingsFile) && (uo.Load(settingsFile), !uo.Call.isEmpty());
    } catch (const EIniFileError &) {
        loaded = false;
    }
    QString reason;
    if (loaded && !TdmLog::IsValidLogName(uo.Call)) {
        reason = TdmLog::InvalidLogNameText(uo.Call) + u'\n';
        loaded = false;
    }
    if (!loaded) {
        uo.Clear();
        MessageDlgDef(QStringLiteral("Soubor \"%1\" nelze otevřít!\n%2Program bude ukončen!")
                          .arg(QDir::toNativeSeparators(settingsFile), reason),
                      mtError, mbOK, mrOk);
        Terminate();
        return;
    }

    OpeningProgress progress;
    try {
        setTitleForLog();
        LoadColumns();
        ApplyGridFont();
        progress.step(1, QStringLiteral("Synchronizuji čas ..."));
        if (uo.GetNTPSync())
            SynchronizeClock();
        progress.step(2, QStringLiteral("Kontroluji odchylku UTC ..."));
        progress.step(3, QStringLiteral("Kontroluji soubory ..."));
        const QString logFile = m_dm.LogFileName(uo.Call);
        if (!QFileInfo::exists(logFile)) {
            progress.hide();
            MessageDlgDef(QStringLiteral("Chybí datový soubor databáze - bude vytvořen nový!"), mtError, mbOK, mrOk);
            CreateLogTable(logFile);
            progress.show();
        }
        progress.step(4, QStringLiteral("Otevírám deník ... "));
        FSortField = fiDAT;
        m_dm.OpenDatabase(uo.Call);
        if (m_dm.DatabaseReadOnly()) {
            progress.hide();
            MessageDlgDef(MsgLogOpenedReadOnly(logFile), mtWarning, mbOK, mrOk);
            progress.show();
        }
        qLog->SetWhere(QString());
        qLog->SetOrderBy(LogQuery::SortOrderFor(fiDAT));
        {
            QueryWork work(qLog, false);
            qLog->Open();
            qLog->Last();
        }
        if (qLog->Active())
            qLogAfterScroll();
        actSortByDateTime->setChecked(true);
        ColourTitles();
        progress.step(7);
    } catch (const EDatabaseError &e) {
        // The log cannot be used: say why and leave the window without a log, which its
        // callers see (Call empty); the settings were only read, nothing is lost.
        progress.hide();
        MessageDlgDef(e.message(), mtError, mbOK, mrOk);
        qLog->Close();
        m_dm.CloseDatabase();
        uo.Clear();
        resetWindow();
    }
}

void TfrmVelkor::CloseLog()
{
    StoreColumns();
    m_dm.StopDxCluster();
    TUserOptions &uo = m_dm.UserOptions;
    if (!uo.Call.isEmpty()) {
        try {
            AutoBackup();
        } catch (const EFileError &e) {
            // Reported, and the log is closed all the same: the settings are still saved.
            MessageDlgDef(e.message(), mtError, mbOK, mrOk);
        }
        saveOperatorSettings();
    }
    uo.Clear();
    qLog->Close();
    m_model->ClearMarks();
    m_dm.CloseDatabase();
    resetWindow();
}

void TfrmVelkor::saveOperatorSettings()
{
    try {
        m_dm.UserOptions.Save();
    } catch (const EIniFileError &) {
        // A settings file that cannot be written keeps its previous contents.
    }
}

// The window as it is while no log is open.
void TfrmVelkor::resetWindow()
{
    ClearColumns();
    setTitleForLog();
    actFilter->setChecked(false);
    if (frmFilter)
        frmFilter->ClearRows();
    UpdateRecordActions(false);
    qLogAfterScroll();
    UpdateQSOPanel();
}

void TfrmVelkor::AutoBackup()
{
    TUserOptions &uo = m_dm.UserOptions;
    const QDate today = QDate::currentDate();
    if (!IsAutoBackUpDue(uo, today))
        return;
    uo.SetBackUpLast(today);
    BackUpLog(uo.Call, m_dm.DataDir, AutoBackUpFileName(uo, m_dm.AppDir, today));
}

void TfrmVelkor::applyQueryText()
{
    if (FilterOn() && !FFilterLines.isEmpty())
        qLog->SetWhere(FFilterLines.join(u'\n'), FFilterValues);
    else
        qLog->SetWhere(QString());
    qLog->SetOrderBy(LogQuery::SortOrderFor(FSortField));
}

// Opens the query again. A log that another program holds is told as at the start, and
// the grid keeps the rows it showed: it is whole, only not to be read now. On any other
// failure the code's message is shown and the query stays closed, with the record
// commands disabled.
bool TfrmVelkor::requery(int failureCode, const QList<qint64> *changedIds)
{
    try {
        if (changedIds && qLog->Active())
            qLog->RefreshRows(*changedIds);
        else
            qLog->Open();
        return true;
    } catch (const EDatabaseError &e) {
        if (e.kind() == TDatabaseFailure::Busy && qLog->Active()) {
            MessageDlgDef(e.message(), mtError, mbOK, mrOk);
            return false;
        }
        qLog->Close();
        UpdateRecordActions(false);
        reportOpenFailure(failureCode);
        return false;
    }
}

bool TfrmVelkor::SortLog(int fieldIndex, bool force)
{
    if (!qLog->Active() || (fieldIndex != -1 && m_model->MarkCount() > 0))
        return false;
    if (fieldIndex == -1)
        fieldIndex = FSortField;
    if (fieldIndex == fiUTC)
        fieldIndex = fiDAT;
    QAction *action = SortAction(fieldIndex);
    if (!action)
        return false;
    action->setChecked(true);
    m_model->SetSortField(fieldIndex);
    if (fieldIndex == FSortField && !force)
        return true;

    const int previousField = FSortField;
    FSortField = fieldIndex;
    int screenRow = 0;
    bool requeried = false;
    {
        QueryWork work(qLog, true);
        screenRow = dbgLog->Row();
        const TBookmark current = qLog->Bookmark();
        const QString where = qLog->Where();
        const QVariantList whereValues = qLog->WhereValues();
        const QStringList order = qLog->OrderBy();
        applyQueryText();
        requeried = requery(2);
        if (requeried && current != 0)
            qLog->GotoBookmark(current);
        if (!requeried && qLog->Active()) {
            // The grid still shows the rows it had, in their order: so does everything
            // that names the order.
            qLog->SetWhere(where, whereValues);
            qLog->SetOrderBy(order);
            FSortField = previousField;
            SortAction(previousField)->setChecked(true);
            m_model->SetSortField(previousField);
        }
    }
    // The grid has taken the new rows: the current QSO goes back to its screen row.
    if (requeried && screenRow > 0 && !qLog->IsEmpty())
        dbgLog->ShowCurrentOnRow(screenRow);
    qLogAfterScroll();
    return requeried;
}

void TfrmVelkor::RefreshLog(bool showProgress, bool keepPosition)
{
    refreshLog(showProgress, keepPosition, nullptr);
}

void TfrmVelkor::RefreshLog(bool showProgress, bool keepPosition, const QList<qint64> &changedIds)
{
    refreshLog(showProgress, keepPosition, &changedIds);
}

void TfrmVelkor::refreshLog(bool showProgress, bool keepPosition, const QList<qint64> *changedIds)
{
    if (showProgress && frmDialog)
        frmDialog->ShowInfo(QStringLiteral("Načítám data ..."));
    TfrmDialogCloser closer(showProgress ? frmDialog : nullptr);
    {
        QueryWork work(qLog, false);
        const int recNo = qLog->RecNo();
        if (requery(3, changedIds)) {
            if (!keepPosition || !qLog->SetRecNo(recNo))
                qLog->Last();
        }
    }
    qLogAfterScroll();
}

void TfrmVelkor::SynchronizeClock()
{
    const QString server = m_dm.UserOptions.GetNTPServer();
    TSntpClient::Result result = TSntpClient::Result::TimeOut;
    try {
        TSntpClient client(server, NtpPort, NtpTimeout);
        result = client.synchronize(clockSetter());
    } catch (const std::exception &) {
        result = TSntpClient::Result::BadAnswer;
    }
    if (result != TSntpClient::Result::Ok)
        MessageDlgDef(QStringLiteral("Chyba při synchronizaci času se serverem \"%1\"").arg(server), mtError, mbOK,
                      mrOk);
}

void TfrmVelkor::StoreDxClusterWindow(const TDxClusterWindowData &data)
{
    TUserOptions &uo = m_dm.UserOptions;
    if (data.Maximized) {
        uo.SetClusterMaximized(true);
        return;
    }
    uo.SetClusterMaximized(false);
    uo.SetClusterWidth(data.Width);
    uo.SetClusterHeight(data.Height);
}

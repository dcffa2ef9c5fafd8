// The main window's commands on single and marked QSOs: the QSO window in its three
// modes, marking, the bulk edit, deleting, the QSL states, and the backup and restore of
// the open log. Every change goes through a log table object in one transaction, found
// by the QSOs' IDs; afterwards the grid query is run again.

#include "MainWindow.h"

#include "AppGlobals.h"
#include "backup/BackUp.h"
#include "log/BulkEdit.h"
#include "log/DmLog.h"
#include "EditSelQSOsDialog.h"
#include "FileDialogs.h"
#include "FindDialog.h"
#include "base/Formats.h"
#include "LogGrid.h"
#include "log/LogTable.h"
#include "LogTableModel.h"
#include "base/Messages.h"
#include "base/MessageTexts.h"
#include "ModalRunner.h"
#include "ProgressDialog.h"
#include "QSOWindow.h"
#include "QueryWork.h"
#include "RestoreDialog.h"
#include "base/VelkorError.h"

#include <QAction>
#include <QDir>
#include <QLabel>

#include <array>

namespace {

// The groups of the QSL-label ordering by the step the ordering reports.
const std::array<const char *, 13> QslSortGroups{
    "Dvoupísmenné OK značky", "Dvoupísmenné OK značky", "Třípísmenné OK značky", "Třípísmenné OK značky",
    "Ostatní OK značky",      "Ostatní OK značky",      "USA značky 1",          "USA značky 1",
    "USA značky 2",           "USA značky 2",           "Ostatní značky",        "Ostatní značky",
    "Ostatní značky"};

const QString BackUpFilter = QStringLiteral("Záloha deníku (*.z)");

void reportError(const QString &message)
{
    MessageDlgDef(message, mtError, mbOK, mrOk);
}

} // namespace

void TfrmVelkor::InstallQsoCommands()
{
    SetCommandHandler(actNewQSO, [this] { actNewQSOExecute(); });
    SetCommandHandler(actShowQSO, [this] { actShowQSOExecute(); });
    SetCommandHandler(actEditQSO, [this] { actEditQSOExecute(); });
    SetCommandHandler(actDeleteQSO, [this] { actDeleteQSOExecute(); });
    const std::array<std::tuple<QAction *, int, int>, 8> qsl{{{actQSLoN, fiQSLO, 0},
                                                              {actQSLoY, fiQSLO, 1},
                                                              {actQSLoR, fiQSLO, 2},
                                                              {actQSLoI, fiQSLO, 3},
                                                              {actQSLpN, fiQSLP, 0},
                                                              {actQSLpY, fiQSLP, 1},
                                                              {actEQSLN, fiEQSLP, 0},
                                                              {actEQSLY, fiEQSLP, 1}}};
    for (const auto &[action, field, value] : qsl)
        SetCommandHandler(action, [this, field = field, value = value] { SetQSLState(field, value); });
    SetCommandHandler(actSelQSO, [this] { actSelQSOExecute(); });
    SetCommandHandler(actSelAllQSO, [this] { actSelAllQSOExecute(); });
    SetCommandHandler(actSelNoneQSO, [this] { actSelNoneQSOExecute(); });
    SetCommandHandler(acBackUpLog, [this] { acBackUpLogExecute(); });
    SetCommandHandler(acRestoreLog, [this] { acRestoreLogExecute(); });
}

TQsoWindowContext TfrmVelkor::QsoWindowContext()
{
    TQsoWindowContext context;
    context.dm = &m_dm;
    context.dxccList = DxccList;
    context.mainQuery = qLog;
    context.mainWindow = this;
    context.refreshLog = [this](bool showProgress, bool keepPosition) { RefreshLog(showProgress, keepPosition); };
    context.refreshWritten = [this](const QList<qint64> &ids, bool showProgress, bool keepPosition) {
        RefreshLog(showProgress, keepPosition, ids);
    };
    return context;
}

// ---------------------------------------------------------------------------------------
// The QSO window

void TfrmVelkor::openQsoWindow(int mode)
{
    TfrmQSO window(mode, QsoWindowContext());
    RunModal(window);
    // Going, the window refreshes the grid when it wrote anything.
}

void TfrmVelkor::actNewQSOExecute()
{
    if (!qLog->Active())
        return;
    // The new QSO's look-ups search the whole log, and the grid shows it at its end. A log
    // that another program holds takes no QSO now: its grid keeps its marks and filter.
    const QList<qint64> marks = m_model->Marks();
    const bool filterOn = actFilter->isChecked();
    m_model->ClearMarks();
    actFilter->setChecked(false);
    if (!SortLog(fiDAT, true)) {
        for (qint64 id : marks)
            m_model->SetMarked(id, true);
        actFilter->setChecked(filterOn);
        return;
    }
    qLog->Last();
    openQsoWindow(TfrmQSO::qmNew);
}

void TfrmVelkor::actShowQSOExecute()
{
    if (!qLog->Active() || qLog->IsEmpty())
        return;
    openQsoWindow(TfrmQSO::qmView);
}

void TfrmVelkor::actEditQSOExecute()
{
    if (!qLog->Active() || qLog->IsEmpty())
        return;
    if (m_model->MarkCount() > 0)
        EditSelectedQSOs();
    else
        openQsoWindow(TfrmQSO::qmEdit);
}

// ---------------------------------------------------------------------------------------
// Marks

void TfrmVelkor::actSelQSOExecute()
{
    if (!qLog->Active() || qLog->IsEmpty())
        return;
    m_model->ToggleMark(qLog->Bookmark());
    qLog->Next(); // on the last record it stays
}

void TfrmVelkor::actSelAllQSOExecute()
{
    if (!qLog->Active() || qLog->IsEmpty())
        return;
    const int count = qLog->RecordCount();
    if (m_model->MarkCount() == count)
        return;
    if (frmDialog)
        frmDialog->ShowProgress(QStringLiteral("Označuji spojení..."), 0, count);
    {
        TfrmDialogCloser closer(frmDialog);
        m_model->MarkAll();
        if (frmDialog)
            frmDialog->SetProgress(count);
    }
    qLogAfterScroll();
}

void TfrmVelkor::actSelNoneQSOExecute()
{
    m_model->ClearMarks();
    qLogAfterScroll();
}

// The grid query run again after the QSOs with these IDs were changed or deleted: on the
// last record, or back on record recNo when the log still reaches past it.
void TfrmVelkor::reopenAt(int recNo, const QList<qint64> &changedIds)
{
    if (!requery(3, &changedIds))
        return;
    qLog->Last();
    if (recNo < qLog->RecordCount() - 1)
        qLog->SetRecNo(recNo);
}

// ---------------------------------------------------------------------------------------
// Bulk edit, delete, QSL states

void TfrmVelkor::EditSelectedQSOs()
{
    TfrmEditSelQSOs dialog(this);
    if (RunModal(dialog) != mrOk || !qLog->Active())
        return;
    const int field = dialog.SelectedField();
    const QString text = dialog.SelectedValue();
    const int recNo = qLog->RecNo();
    const QList<qint64> marks = m_model->Marks();
    QString failure;
    int missingOwnLocator = 0;
    {
        QueryWork work(qLog);
        // Many marked QSOs take a while: the progress window counts them.
        TProgressEvent progress;
        if (frmDialog) {
            frmDialog->ShowProgress(dialog.windowTitle(), 0, 100);
            progress = frmDialog->ProgressCallback();
        }
        try {
            TBulkEdit edit(field, BulkEditValue(field, text), *DxccList);
            // One transaction: a failure leaves every marked QSO as it was.
            LogTable(TdmLog::DatabaseName).Update(marks, [&edit](TLogRecord &r) { edit.Apply(r); }, progress);
            missingOwnLocator = edit.MissingOwnLocator();
        } catch (const EVelkorError &e) {
            failure = e.message();
        }
        if (frmDialog)
            frmDialog->close();
        // Edited QSOs may no longer pass the filter. A failed edit changed nothing, and
        // reading the log again would only meet the same failure (another program holding
        // it) and close the grid.
        if (FilterOn() && failure.isEmpty())
            m_model->ClearMarks();
        if (failure.isEmpty())
            reopenAt(recNo, marks);
    }
    qLogAfterScroll();
    if (!failure.isEmpty())
        reportError(failure);
    else if (missingOwnLocator > 0)
        MessageDlgDef(MsgNoOwnLocatorForDistance, mtWarning, mbOK, mrOk);
}

void TfrmVelkor::actDeleteQSOExecute()
{
    if (!qLog->Active() || qLog->IsEmpty())
        return;
    const int marks = m_model->MarkCount();
    const QString question = marks > 0 ? QStringLiteral("Opravdu chcete smazat %1 spojení?").arg(marks)
                                       : QStringLiteral("Opravdu chcete smazat vybrané spojení?");
    if (MessageDlgDef(question, mtConfirmation, mbYes | mbNo, mrNo) != mrNo)
        DeleteQSOs();
}

void TfrmVelkor::DeleteQSOs()
{
    if (!qLog->Active() || qLog->IsEmpty())
        return;
    const QList<qint64> ids = m_model->MarkCount() > 0 ? m_model->Marks() : QList<qint64>{qLog->Bookmark()};
    const int recNo = qLog->RecNo();
    QString failure;
    {
        QueryWork work(qLog);
        try {
            LogTable(TdmLog::DatabaseName).Delete(ids);
        } catch (const EVelkorError &e) {
            failure = e.message();
        }
        // A failed deletion changed nothing: the QSOs stay shown and marked.
        if (failure.isEmpty()) {
            m_model->ClearMarks();
            reopenAt(recNo, ids);
        }
    }
    qLogAfterScroll();
    dbgLog->viewport()->update();
    if (!failure.isEmpty())
        reportError(failure);
}

void TfrmVelkor::SetQSLState(int fieldIndex, int value)
{
    if (!qLog->Active() || qLog->IsEmpty())
        return;
    QString failure;
    {
        QueryWork work(qLog);
        try {
            LogTable table(TdmLog::DatabaseName);
            if (m_model->MarkCount() > 0) {
                table.SetFieldValue(m_model->Marks(), fieldIndex, value);
            } else {
                // One QSO: the command switches its state on and off.
                table.Update({qLog->Bookmark()}, [fieldIndex, value](TLogRecord &r) {
                    r[fieldIndex] = r[fieldIndex].toInt() == value ? 0 : value;
                });
            }
        } catch (const EVelkorError &e) {
            failure = e.message();
        }
    }
    if (failure.isEmpty())
        SortLog(-1, true); // shows the change, the current QSO on its screen row
    if (!failure.isEmpty())
        reportError(failure);
    // Searching and setting states go on from the keyboard.
    if (frmFind)
        frmFind->RefocusSearch();
}

void TfrmVelkor::QSLSortProgress(int step)
{
    if (step < 0 || step >= int(QslSortGroups.size()) || !frmDialog)
        return;
    frmDialog->SetText(QStringLiteral("Třídím QSL ...\n") + QString::fromUtf8(QslSortGroups[step]));
    frmDialog->lblText()->repaint();
    frmDialog->SetProgress(step);
}

// ---------------------------------------------------------------------------------------
// Backup and restore

QString TfrmVelkor::backUpFolder() const
{
    const QString folder = m_dm.UserOptions.GetBackUpPath();
    return folder.isEmpty() ? m_dm.AppDir + QStringLiteral("Zaloha/") : folder;
}

void TfrmVelkor::acBackUpLogExecute()
{
    const QString call = m_dm.UserOptions.Call;
    if (call.isEmpty())
        return;
    const QString suggested =
        call + u' ' + Formats::formatDate(QStringLiteral("dd.mm.yyyy"), QDate::currentDate()) + QStringLiteral(".z");
    const QString file = FileDialogs::getSaveFileName(this, QStringLiteral("Záloha dat"),
                                                      QDir(backUpFolder()).filePath(suggested), BackUpFilter,
                                                      QStringLiteral("z"));
    if (file.isEmpty())
        return;
    if (frmDialog)
        frmDialog->ShowProgress(QStringLiteral("Zálohuji deník ..."), 0, 100);
    QString failure;
    try {
        BackUpLog(call, m_dm.DataDir, file, frmDialog ? frmDialog->ProgressCallback() : TProgressEvent());
    } catch (const EVelkorError &e) {
        failure = e.message();
    }
    if (frmDialog)
        frmDialog->close();
    if (!failure.isEmpty())
        reportError(failure);
}

void TfrmVelkor::acRestoreLogExecute()
{
    const QString call = m_dm.UserOptions.Call;
    if (call.isEmpty())
        return;
    const QString file =
        FileDialogs::getOpenFileName(this, QStringLiteral("Obnova dat"), backUpFolder(), BackUpFilter);
    if (file.isEmpty())
        return;
    QString archiveCall;
    QDateTime created;
    try {
        ReadBackUpInfo(file, archiveCall, created);
    } catch (const EVelkorError &e) {
        reportError(e.message());
        return;
    }
    {
        // The archive replaces the open log whatever call sign it names; the operator
        // compares it here.
        TfrmBackUpDlg dialog(this);
        dialog.lblFile->setText(QDir::toNativeSeparators(file));
        dialog.lblCall->setText(archiveCall);
        dialog.lblDate->setText(Formats::formatDateTime(QStringLiteral("dd.mm.yyyy"), created));
        dialog.lblTime->setText(Formats::formatDateTime(QStringLiteral("hh:nn"), created));
        if (RunModal(dialog) != mrOk)
            return;
    }

    if (frmDialog)
        frmDialog->ShowProgress(QStringLiteral("Obnovuji deník ze zálohy"), 0, 100);
    qLog->Close();
    m_model->ClearMarks();
    actFilter->setChecked(false);
    m_dm.CloseDatabase();
    QString failure;
    try {
        RestoreLog(call, m_dm.DataDir, m_dm.TempDir, file,
                   frmDialog ? frmDialog->ProgressCallback() : TProgressEvent());
    } catch (const EVelkorError &e) {
        failure = e.message();
    }
    if (failure.isEmpty()) {
        // Only the QSOs come from the archive; opening the log reads its settings file, so
        // the settings in force (changed in this session, a moved column) are written to
        // it first rather than lost.
        StoreColumns();
        saveOperatorSettings();
        OpenLog(call);
    } else {
        // Nothing was replaced: the log opens again as it was, with the settings as they
        // are in memory (reading the file again would lose changes not yet saved).
        try {
            m_dm.OpenDatabase(call);
            applyQueryText();
            QueryWork work(qLog, false);
            if (requery(3))
                qLog->Last();
        } catch (const EVelkorError &e) {
            failure += u'\n' + e.message();
            // Not even the old log opens: the window is left without one, as after a failed
            // opening, rather than naming a log that is not open; the settings are saved.
            CloseLog();
        }
        qLogAfterScroll();
    }
    if (frmDialog)
        frmDialog->close();
    if (!failure.isEmpty())
        reportError(failure);
}

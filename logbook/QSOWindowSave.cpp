// The save command of the QSO window: the field checks in their fixed order, then one
// record written to the log (a new one, or the edited one over its old values), then the
// form cleared for the next QSO or, after an edit, the window closed.

#include "QSOWindow.h"

#include "radio/Amater.h"
#include "DateEdit.h"
#include "log/DmLog.h"
#include "radio/DxccList.h"
#include "FilteredLineEdit.h"
#include "FloatComboBox.h"
#include "base/Formats.h"
#include "IOTAEdit.h"
#include "radio/Kontrola.h"
#include "LocatorEdit.h"
#include "log/LogTable.h"
#include "base/Messages.h"
#include "base/MessageTexts.h"
#include "log/QsoLookup.h"
#include "ReportEdit.h"
#include "TimeEdit.h"
#include "base/VelkorError.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

void TfrmQSO::actSaveExecute()
{
    if (SaveQSO() != TSaveResult::Saved)
        return;
    if (m_mode == qmEdit) {
        FModified = false;
        close(); // the main window is refreshed, keeping its position, as the window goes
        return;
    }
    if (FRefreshLog) {
        refreshMainLog(false, false);
        FRefreshNeeded = false;
    }
    ClearForm();
    edtCall->setFocus(Qt::OtherFocusReason);
}

TfrmQSO::TSaveResult TfrmQSO::SaveQSO()
{
    // Leaving the field being edited runs its exit handler first, so a call sign typed and
    // saved at once still gets its time stamp, entity, zones and fills.
    QWidget *before = focusWidget();
    m_exitRan = false;
    btnSave->setFocus(Qt::OtherFocusReason);
    if (!m_exitRan) {
        // The window is not the active one: no focus events came, so leave the field here.
        if (QWidget *field = fieldOf(before)) {
            if (auto *edit = qobject_cast<TFilteredLineEdit *>(field))
                edit->formatOnExit();
            else if (auto *box = qobject_cast<TFloatComboBox *>(field))
                box->formatOnExit();
            runExitHandler(field);
        }
    }

    if (!CheckCall(edtCall->text(), edtCall) || !CheckFreq(cbFreq->currentText(), cbFreq)
        || !CheckLocator(edtLOCp->text(), edtLOCp) || !CheckDXCC(edtDXCC->text(), edtDXCC)
        || !CheckITU(edtITU->text(), edtITU) || !CheckWAZ(edtWAZ->text(), edtWAZ)
        || !CheckIOTA(edtIOTA->text(), edtIOTA) || !CheckTime(edtTime->text(), edtTime)
        || !CheckDate(edtDate->text(), edtDate) || !CheckPower(cbPWR->currentText(), cbPWR)
        || !CheckLocator(edtLOCo->text(), edtLOCo))
        return TSaveResult::Refused;
    if (cbMode->currentIndex() < 0 || cbMode->currentIndex() >= ModeCount) {
        MessageDlgDef(QStringLiteral("Neplatný mód \"%1\"!").arg(cbMode->currentText()), mtError, mbOK, mrOk);
        return TSaveResult::Refused;
    }
    if (edtLOCo->text().isEmpty()) {
        MessageDlgDef(MsgLocatorRequired, mtError, mbOK, mrOk);
        FocusControl(edtLOCo);
        return TSaveResult::Refused;
    }

    FRefreshNeeded = true;
    if (!SaveToLog())
        return TSaveResult::NotWritten;
    // Remembered only once written: the "Nová země" hint must not count a QSO that is not
    // in the log.
    const TDxccList &list = *m_context.dxccList;
    if (list.Found()) {
        double mhz = 0;
        Formats::tryStrToFloat(cbFreq->currentText(), mhz);
        FSessionList << SessionKey(list.GetDxcc(), GetBandIndex(mhz));
    }
    return TSaveResult::Saved;
}

TLogRecord TfrmQSO::RecordFromForm() const
{
    TLogRecord record;
    record[fiDAT] = LogValueFromText(fiDAT, edtDate->text());
    record[fiUTC] = LogValueFromText(fiUTC, edtTime->text());
    record[fiCALL] = edtCall->text();
    record[fiFREQ] = LogValueFromText(fiFREQ, cbFreq->currentText());
    record[fiBAND] = GetBandIndex(record[fiFREQ].toDouble());
    record[fiMODE] = GetModeIndex(cbMode->currentText());
    record[fiRSTO] = edtRSTo->text();
    record[fiRSTP] = edtRSTp->text();
    record[fiNAME] = edtName->text();
    record[fiQTH] = edtQTH->text();
    record[fiLOCO] = edtLOCo->text();
    record[fiLOCP] = edtLOCp->text();
    record[fiQSLO] = std::max(0, cbQSLo->currentIndex());
    record[fiQSLP] = std::max(0, cbQSLp->currentIndex());
    record[fiQSLVIA] = edtQSLmgr->text();
    record[fiEQSLP] = std::max(0, cbEQSL->currentIndex());
    record[fiNOTE] = edtNote->text();
    record[fiPWR] = LogValueFromText(fiPWR, cbPWR->currentText());
    record[fiQRB] = double(GetQRB());
    record[fiDXCC] = edtDXCC->text();
    record[fiIOTA] = edtIOTA->text();
    record[fiITU] = LogValueFromText(fiITU, edtITU->text());
    record[fiWAZ] = LogValueFromText(fiWAZ, edtWAZ->text());
    record[fiAWARD] = edtAward->text();
    return record;
}

bool TfrmQSO::SaveToLog()
{
    try {
        const TLogRecord record = RecordFromForm();
        LogTable table(TdmLog::DatabaseName);
        if (m_mode == qmEdit) {
            // The edited QSO is written over its own row only; if it has gone meanwhile,
            // nothing is written and the window keeps what the operator typed.
            if (!table.Edit(m_editId, record)) {
                m_writtenKnown = false;
                MessageDlgDef(QStringLiteral("Spojení již v deníku není!"), mtError, mbOK, mrOk);
                return false;
            }
            m_writtenIds << m_editId;
        } else {
            m_writtenIds << table.Insert(record);
        }
        return true;
    } catch (const EVelkorError &error) {
        m_writtenKnown = false;
        MessageDlgDef(error.message(), mtError, mbOK, mrOk);
        return false;
    }
}

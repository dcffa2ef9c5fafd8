// What the QSO window works out when the operator leaves a field: the UTC stamp, the
// entity and its zones, the earlier QSOs with the station and the fills from them and
// from the callbook, the hints "Nová země" and "PSE QSL", the report form of the mode,
// capitalisation, and the distance and bearing.

#include "QSOWindow.h"

#include "radio/Amater.h"
#include "base/VelkorError.h"
#include "log/DmLog.h"
#include "radio/DxccList.h"
#include "FilteredLineEdit.h"
#include "FloatComboBox.h"
#include "base/Formats.h"
#include "IOTAEdit.h"
#include "LocatorEdit.h"
#include "base/Messages.h"
#include "log/QsoLookup.h"
#include "ReportEdit.h"
#include "TimeEdit.h"
#include "DateEdit.h"
#include "system/UtcClock.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

void TfrmQSO::focusChanged(QWidget *old, QWidget *now)
{
    // Leaving the window (another program, a message box) is no exit from the field.
    if (!old || !now || now->window() != this)
        return;
    QWidget *field = fieldOf(old);
    if (!field || fieldOf(now) == field)
        return;
    runExitHandler(field);
}

void TfrmQSO::runExitHandler(QWidget *field)
{
    m_exitRan = true;
    if (field == edtCall)
        CallExit();
    else if (field == edtDXCC)
        DXCCExit();
    else if (field == cbFreq)
        FreqExit();
    else if (field == cbMode)
        ModeExit();
    else if (field == edtLOCp || field == edtLOCo)
        LocExit(static_cast<TLocatorEdit *>(field));
    else if (field == edtName)
        NameExit();
    else if (field == edtQTH)
        QTHExit();
    else if (field == edtIOTA || field == edtTime || field == edtDate || field == cbPWR)
        return; // these fields put their text in form themselves and nothing follows
    else
        FLastControl = field;
}

void TfrmQSO::CallExit()
{
    FLastControl = edtCall;
    const QString call = edtCall->text();
    if (call.isEmpty() || call == FLastCall)
        return;
    FLastCall = call;
    if (m_mode == qmNew && !FOfflineTime)
        InsertDateTime();

    TDxccList &list = *m_context.dxccList;
    if (list.FindCall(call)) {
        edtDXCC->setText(list.GetDxcc());
        edtITU->setText(QString::number(list.GetITU()));
        edtWAZ->setText(QString::number(list.GetWAZ()));
    }
    FLastDxcc = edtDXCC->text();

    ShowPreviousQSOs();
    if (m_mode == qmNew && FLookInLog)
        FillFromPreviousQSOs(call);
    if (m_mode == qmNew && FLookInCB)
        FillFromCallBook(call);
    // An earlier QSO may name another entity than the prefix does (a DXpedition).
    if (!edtDXCC->text().isEmpty() && edtDXCC->text() != FLastDxcc) {
        list.FindCall(edtDXCC->text());
        FLastDxcc = edtDXCC->text();
    }
    ShowDistanceAzimuth();
    UpdateNewCountry();
    UpdatePseQsl();
}

void TfrmQSO::DXCCExit()
{
    FLastControl = edtDXCC;
    const QString dxcc = edtDXCC->text();
    if (dxcc == FLastDxcc)
        return;
    if (edtCall->text().isEmpty() && dxcc.isEmpty())
        return;
    FLastDxcc = dxcc;
    TDxccList &list = *m_context.dxccList;
    const bool found = dxcc.isEmpty() ? list.FindCall(edtCall->text()) : list.FindDxcc(dxcc);
    if (found) {
        edtITU->setText(QString::number(list.GetITU()));
        edtWAZ->setText(QString::number(list.GetWAZ()));
    }
}

void TfrmQSO::FreqExit()
{
    FLastControl = cbFreq;
    UpdatePseQsl();
    UpdateNewCountry();
    setBandLabel();
}

void TfrmQSO::ModeExit()
{
    FLastControl = cbMode;
    const QString mode = cbMode->currentText();
    edtRSTo->setText(ReportForMode(edtRSTo->text(), mode));
    edtRSTp->setText(ReportForMode(edtRSTp->text(), mode));
    UpdatePseQsl();
}

void TfrmQSO::LocExit(TLocatorEdit *edit)
{
    FLastControl = edit;
    edit->setText(CompleteLocator(edit->text()));
    ShowDistanceAzimuth();
}

void TfrmQSO::NameExit()
{
    FLastControl = edtName;
    if (FNameUpCase && !edtName->text().isEmpty())
        edtName->setText(CapitalizeName(edtName->text()));
}

void TfrmQSO::QTHExit()
{
    FLastControl = edtQTH;
    if (FNameUpCase && !edtQTH->text().isEmpty())
        edtQTH->setText(CapitalizeQth(edtQTH->text()));
}

void TfrmQSO::InsertDateTime()
{
    edtTime->setText(Formats::formatTime(QStringLiteral("hh:nn:ss"), UTCTime()));
    edtDate->setText(Formats::formatDate(QStringLiteral("dd.mm.yyyy"), UTCDate()));
}

void TfrmQSO::ShowPreviousQSOs()
{
    // The QSO being viewed or edited is not one of its own earlier QSOs.
    const TPreviousQsoFilter filter = PreviousQsoFilter(edtCall->text(), m_mode == qmNew ? 0 : m_editId);
    qPred->Close();
    qPred->SetConnectionName(TdmLog::DatabaseName);
    qPred->SetWhere(filter.where, filter.values);
    qPred->SetOrderBy({QStringLiteral("DAT"), QStringLiteral("UTC")});
    try {
        qPred->Open();
        qPred->Last();
    } catch (const EVelkorError &error) {
        MessageDlgDef(error.message(), mtError, mbOK, mrOk);
    }
}

QList<TLogRecord> TfrmQSO::previousRows() const
{
    QList<TLogRecord> rows;
    if (!qPred->Active())
        return rows;
    rows.reserve(qPred->RecordCount());
    // Rows that cannot be read (a damaged part of the log) take no part; the query
    // reports them once.
    for (int row = 0; row < qPred->RecordCount(); ++row) {
        bool ok = true;
        const TLogRecord record = qPred->ViewRecordAt(row, &ok);
        if (ok)
            rows << record;
    }
    return rows;
}

void TfrmQSO::FillFromPreviousQSOs(const QString &call)
{
    if (!qPred->Active())
        return;
    TQsoFillFields fields{edtName->text(), edtQTH->text(), edtQSLmgr->text(), edtLOCp->text(), edtIOTA->text(),
                          edtAward->text(), edtDXCC->text(), edtITU->text(), edtWAZ->text()};
    FillFromPreviousQsos(previousRows(), call, fields);
    edtName->setText(fields.Name);
    edtQTH->setText(fields.Qth);
    edtQSLmgr->setText(fields.QslVia);
    edtLOCp->setText(fields.LocP);
    edtIOTA->setText(fields.Iota);
    edtAward->setText(fields.Award);
    edtDXCC->setText(fields.Dxcc);
    edtITU->setText(fields.Itu);
    edtWAZ->setText(fields.Waz);
}

void TfrmQSO::FillFromCallBook(const QString &call)
{
    if (!qCallBook || !CallBookApplies(call) || !qCallBook->IsOpen())
        return;
    TCallBookEntry entry;
    if (!qCallBook->Find(call, entry))
        return;
    TQsoFillFields fields;
    fields.Name = edtName->text();
    fields.Qth = edtQTH->text();
    fields.LocP = edtLOCp->text();
    ::FillFromCallBook(entry, fields);
    edtName->setText(fields.Name);
    edtQTH->setText(fields.Qth);
    edtLOCp->setText(fields.LocP);
}

void TfrmQSO::UpdateNewCountry()
{
    LogQuery *main = m_context.mainQuery;
    if (m_mode != qmNew && main && main->Active()
        && edtCall->text() == main->ViewValueAt(main->CurrentRow(), fiCALL).toString())
        return;
    const TDxccList &list = *m_context.dxccList;
    if (!list.Found())
        return;
    double mhz = 0;
    // Without a frequency there is no band to ask about; the frequency check of the save
    // command reports it.
    if (!Formats::tryStrToFloat(cbFreq->currentText(), mhz))
        return;
    const int band = GetBandIndex(mhz);

    bool worked = false;
    if (main && main->Active()) {
        const int recNo = main->RecNo();
        main->DisableControls();
        try {
            worked = main->Contains(QList<int>{fiDXCC, fiBAND}, QVariantList{edtDXCC->text(), band});
        } catch (const EVelkorError &error) {
            MessageDlgDef(error.message(), mtError, mbOK, mrOk);
        }
        if (recNo > 0)
            main->SetRecNo(recNo);
        main->EnableControls();
    }
    // QSOs saved in this window may not be in the main window's query yet.
    lblNovaZeme->setEnabled(!worked && !FSessionList.contains(SessionKey(list.GetDxcc(), band)));
}

void TfrmQSO::UpdatePseQsl()
{
    if (m_mode != qmNew || !qPred->Active()) {
        lblPseQsl->setEnabled(false);
        return;
    }
    if (qPred->IsEmpty()) {
        lblPseQsl->setEnabled(true);
        return;
    }
    double mhz = 0;
    if (!Formats::tryStrToFloat(cbFreq->currentText(), mhz))
        return;
    lblPseQsl->setEnabled(NeedsQslRequest(previousRows(), GetModeIndex(cbMode->currentText()), GetBandIndex(mhz)));
}

int TfrmQSO::GetQRB() const
{
    const TDxccList &list = *m_context.dxccList;
    return QsoDistance(edtLOCo->text(), edtLOCp->text(), list.Found(), list.GetLongitude(), list.GetLatitude());
}

int TfrmQSO::GetAzimuth() const
{
    const TDxccList &list = *m_context.dxccList;
    return QsoAzimuth(edtLOCo->text(), edtLOCp->text(), list.Found(), list.GetLongitude(), list.GetLatitude());
}

void TfrmQSO::ShowDistanceAzimuth()
{
    const int distance = GetQRB();
    lblDistance->setVisible(distance >= 0);
    if (distance >= 0)
        lblDistance->setText(QString::number(distance) + QStringLiteral("km"));
    const int azimuth = GetAzimuth();
    lblAzimuth->setVisible(azimuth >= 0);
    if (azimuth >= 0)
        lblAzimuth->setText(QString::number(azimuth) + QStringLiteral("°"));
}

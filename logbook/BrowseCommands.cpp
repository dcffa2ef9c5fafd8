#include "BrowseCommands.h"

#include "AppGlobals.h"
#include "AziDisDialog.h"
#include "CallBookWindow.h"
#include "ComboBoxDialog.h"
#include "log/DmLog.h"
#include "radio/DxccList.h"
#include "FilterDialog.h"
#include "FindDialog.h"
#include "IOTAEdit.h"
#include "radio/Kontrola.h"
#include "ListWindow.h"
#include "LogFindSource.h"
#include "LogTableModel.h"
#include "MainWindow.h"
#include "base/Messages.h"
#include "ModalRunner.h"
#include "QSOWindow.h"
#include "base/VelkorError.h"

#include <QAction>
#include <QComboBox>

namespace {

QList<TfrmFind::TFindField> logFindFields()
{
    const auto field = [](int logField, TfrmFind::TFindKind kind) {
        return TfrmFind::TFindField{LogFieldCaptions[logField], kind, logField};
    };
    return {field(fiCALL, TfrmFind::fkCall),  field(fiLOCP, TfrmFind::fkLocator), field(fiLOCO, TfrmFind::fkLocator),
            field(fiIOTA, TfrmFind::fkIOTA),  field(fiDAT, TfrmFind::fkDate),     field(fiNAME, TfrmFind::fkText),
            field(fiQTH, TfrmFind::fkText),   field(fiQSLVIA, TfrmFind::fkText),  field(fiNOTE, TfrmFind::fkText)};
}

} // namespace

void FilterCommand(TfrmVelkor &window)
{
    // The action is a check item and has toggled itself: the filter was on before when it
    // is off now.
    const bool wasOn = !window.actFilter->isChecked();
    window.actFilter->setChecked(wasOn);
    if (!frmFilter)
        return;
    if (!wasOn && window.logModel()->MarkCount() > 0) {
        MessageDlgDef(QStringLiteral("Jsou-li v deníku označena spojení, nelze filtrovat data."), mtInformation, mbOK,
                      mrOk);
        return;
    }
    frmFilter->FSqlLines = window.FFilterLines;
    frmFilter->FSqlValues = window.FFilterValues;
    const int result = frmFilter->Execute();
    const QStringList lines = window.FFilterLines;
    const QVariantList values = window.FFilterValues;
    bool shown = true;
    if (result == mrOk && !frmFilter->FSqlLines.isEmpty()) {
        window.actFilter->setChecked(true);
        window.FFilterLines = frmFilter->FSqlLines;
        window.FFilterValues = frmFilter->FSqlValues;
        shown = window.SortLog(-1, true);
    } else if (result == mrOk || result == mrAbort) {
        // The lines stay, so the dialog shows them again next time.
        window.actFilter->setChecked(false);
        shown = window.SortLog(-1, true);
    }
    // A log that another program holds keeps the grid it had, and with it its filter.
    if (!shown) {
        window.actFilter->setChecked(wasOn);
        window.FFilterLines = lines;
        window.FFilterValues = values;
    }
}

void ShowListWindow(TfrmVelkor &window, int kind, const QString &field, const QString &value)
{
    TfrmList list(window.dm());
    try {
        list.SetupList(kind);
    } catch (const EVelkorError &e) {
        MessageDlgDef(e.message(), mtError, mbOK, mrOk);
        return;
    }
    if (!field.isEmpty())
        list.Locate(field, value);
    RunModal(list);
}

void ShowCallBook(TfrmVelkor &window, const QString &call)
{
    TfrmCallBook callBook(window.dm());
    callBook.Locate(QStringLiteral("ZNACKA"), call);
    RunModal(callBook);
}

void FindDxccCommand(TfrmVelkor &window)
{
    TfrmComboBox dialog;
    if (dialog.ShowModal(QStringLiteral("Vyhledání země DXCC"), QStringLiteral("Značka (Prefix):"),
                         TfrmComboBox::csSimple) != mrOk)
        return;
    const QString call = dialog.ComboBox->currentText().trimmed().toUpper();
    if (!IsValidCall(call) || !DxccList)
        return;
    if (!DxccList->FindCall(call)) {
        MessageDlgDef(QStringLiteral("Nenalezeno ..."), mtInformation, mbOK, mrOk);
        return;
    }
    ShowListWindow(window, TfrmList::lkDxcc, QStringLiteral("PREFIX"), DxccList->GetPrefix());
}

void InstallBrowseCommands(TfrmVelkor &window)
{
    TfrmVelkor *w = &window;
    if (!window.frmFind) {
        window.frmFind = new TfrmFind(&window);
        window.frmFind->Setup(new TLogFindSource(window.qLog), window.dbgLog, logFindFields());
    }
    window.SetCommandHandler(window.actFilter, [w] { FilterCommand(*w); });
    window.SetCommandHandler(window.actFindQSO, [w] {
        if (w->frmFind)
            w->frmFind->ShowFind();
    });
    window.SetCommandHandler(window.actAziDis, [w] {
        TfrmAziDis dialog(w->dm().UserOptions.GetLocator());
        RunModal(dialog);
    });
    window.SetCommandHandler(window.actFindDXCC, [w] { FindDxccCommand(*w); });
    window.SetCommandHandler(window.actCallBook, [w] {
        const bool current = w->qLog->Active() && !w->qLog->IsEmpty();
        ShowCallBook(*w, current ? w->qLog->AsString(fiCALL) : QString());
    });
    window.SetCommandHandler(window.actDXCCList, [w] { ShowListWindow(*w, TfrmList::lkDxcc); });
    window.SetCommandHandler(window.actIOTAList, [w] { ShowListWindow(*w, TfrmList::lkIota); });

    // The QSO window's handlers live as long as this window.
    QObject::connect(&window, &QObject::destroyed, [] {
        TfrmQSO::CallBookHandler = nullptr;
        TfrmQSO::DxccListHandler = nullptr;
        TfrmQSO::IotaListHandler = nullptr;
    });
    TfrmQSO::CallBookHandler = [w](TfrmQSO &qso) { ShowCallBook(*w, qso.edtCall->text()); };
    TfrmQSO::DxccListHandler = [w](TfrmQSO &qso) {
        ShowListWindow(*w, TfrmList::lkDxcc, QStringLiteral("DXCC"), qso.edtDXCC->text());
    };
    TfrmQSO::IotaListHandler = [w](TfrmQSO &qso) {
        ShowListWindow(*w, TfrmList::lkIota, QStringLiteral("IOTA"), qso.edtIOTA->text());
    };
}

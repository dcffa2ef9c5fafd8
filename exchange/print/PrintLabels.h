#pragma once
// "Tisk nálepek na QSL lístky": prints one sticker per marked QSO from the label table
// _QSL.db that the main window has just built in bureau order. The operator picks the
// printer, the label sheet (a report of category "Nalepky" in Tisk.rav), a note printed
// on every label, the order, and whether the QSOs are then marked as QSL sent. It
// renders once into Tisk.rnd and prints or previews that file; only a change of printer,
// sheet, note or order renders again. QSOs are marked only after a print that succeeded.

#include "ExchangeHost.h"
#include "report/PrintQuery.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TPrintJob;

class TfrmTiskQSL : public QDialog
{
    Q_OBJECT
public:
    // Opens the report project; a missing Tisk.rav raises EReportError naming it, and the
    // dialog is not created.
    explicit TfrmTiskQSL(const TExchangeHost &host);
    ~TfrmTiskQSL() override;

    // The ORDER BY fields of the chosen sort order.
    QStringList SortOrder() const;

    void GenerujData();
    void btnPrintClick();
    void btnPreviewClick();
    void DataChange();

    bool FDirty() const;
    TPrintJob &Job() const { return *m_job; }

    QLabel *lblPrinter, *lblStyle, *lblNote;
    QComboBox *cbPrinter, *cbStyle, *cbQSLo;
    QLineEdit *edtNote;
    QCheckBox *chbQSLo;
    QGroupBox *grpSettings, *grpSort;
    QRadioButton *rBtnBureau, *rBtnCall, *rBtnDate, *rBtnDXCC;
    QPushButton *btnPrint, *btnPreview, *btnClose;

public slots:
    // Esc and the close box: the cancel result.
    void reject() override;

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();

    TExchangeHost m_host;
    std::unique_ptr<TPrintJob> m_job;
    TPrintQuery qPrint;
};

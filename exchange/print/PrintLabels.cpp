#include "print/PrintLabels.h"

#include "radio/Amater.h"
#include "log/DmLog.h"
#include "HelpWindow.h"
#include "log/LogRecord.h"
#include "base/Messages.h"
#include "MinimizeProgram.h"
#include "print/PrintJob.h"
#include "WindowPlacement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmTiskQSL::TfrmTiskQSL(const TExchangeHost &host) : QDialog(nullptr), m_host(host)
{
    setObjectName(QStringLiteral("frmTiskQSL"));
    setWindowTitle(QStringLiteral("Tisk nálepek na QSL lístky"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_job = std::make_unique<TPrintJob>(m_host, this);
    buildLayout();
    AddHelpContextAction(this, 52);

    for (const QString &name : QslSentNames)
        cbQSLo->addItem(name);
    cbQSLo->setCurrentIndex(1);
    cbPrinter->addItems(m_job->RvPrinter.PrinterNames());
    cbPrinter->setCurrentIndex(m_job->RvPrinter.CurrentPrinter());
    cbStyle->addItems(m_job->RvProject.ReportNames(QStringLiteral("Nalepky")));
    cbStyle->setCurrentIndex(cbStyle->count() > 0 ? 0 : -1);
    // Without a label sheet in the project there is nothing to render.
    btnPrint->setEnabled(cbStyle->count() > 0);
    btnPreview->setEnabled(cbStyle->count() > 0);

    connect(cbPrinter, &QComboBox::currentIndexChanged, this, [this] { DataChange(); });
    connect(cbStyle, &QComboBox::currentIndexChanged, this, [this] { DataChange(); });
    connect(edtNote, &QLineEdit::textChanged, this, [this] { DataChange(); });
    for (QRadioButton *button : {rBtnBureau, rBtnCall, rBtnDate, rBtnDXCC})
        connect(button, &QRadioButton::clicked, this, [this] { DataChange(); });
    connect(btnPrint, &QPushButton::clicked, this, [this] { btnPrintClick(); });
    connect(btnPreview, &QPushButton::clicked, this, [this] { btnPreviewClick(); });
    connect(btnClose, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

TfrmTiskQSL::~TfrmTiskQSL()
{
    qPrint.Close();
}

void TfrmTiskQSL::buildLayout()
{
    auto named = [](auto *widget, const char *name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    lblPrinter = named(new QLabel(QStringLiteral("Tiskárna:"), this), "lblPrinter");
    cbPrinter = named(new QComboBox(this), "cbPrinter");
    cbPrinter->setMinimumWidth(280);
    lblPrinter->setBuddy(cbPrinter);

    grpSettings = named(new QGroupBox(QStringLiteral("Nastavení"), this), "grpSettings");
    lblStyle = named(new QLabel(QStringLiteral("Styl nálepky:"), grpSettings), "lblStyle");
    cbStyle = named(new QComboBox(grpSettings), "cbStyle");
    lblNote = named(new QLabel(QStringLiteral("Poznámka:"), grpSettings), "lblNote");
    edtNote = named(new QLineEdit(QStringLiteral("TNX FOR NICE QSO"), grpSettings), "edtNote");
    chbQSLo =
        named(new QCheckBox(QStringLiteral("Po tisku označit spojení jako QSLo:"), grpSettings), "chbQSLo");
    cbQSLo = named(new QComboBox(grpSettings), "cbQSLo");
    lblStyle->setBuddy(cbStyle);
    lblNote->setBuddy(edtNote);
    auto *settings = new QFormLayout(grpSettings);
    settings->addRow(lblStyle, cbStyle);
    settings->addRow(lblNote, edtNote);
    settings->addRow(chbQSLo, cbQSLo);

    grpSort = named(new QGroupBox(QStringLiteral("Třídit sestavu:"), this), "grpSort");
    rBtnBureau = named(new QRadioButton(QStringLiteral("Požadavky QSL služby"), grpSort), "rBtnBureau");
    rBtnCall = named(new QRadioButton(QStringLiteral("Značka"), grpSort), "rBtnCall");
    rBtnDate = named(new QRadioButton(QStringLiteral("Datum"), grpSort), "rBtnDate");
    rBtnDXCC = named(new QRadioButton(QStringLiteral("Země DXCC"), grpSort), "rBtnDXCC");
    rBtnBureau->setChecked(true);
    auto *sort = new QGridLayout(grpSort);
    sort->addWidget(rBtnBureau, 0, 0);
    sort->addWidget(rBtnCall, 0, 1);
    sort->addWidget(rBtnDate, 1, 0);
    sort->addWidget(rBtnDXCC, 1, 1);

    auto button = [this](const char *name, const QString &caption, const QString &hint) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setStatusTip(hint);
        return b;
    };
    btnPrint = button("btnPrint", QStringLiteral("&Tisk"), QStringLiteral("Tisknout sestavu"));
    btnPrint->setDefault(true);
    btnPreview = button("btnPreview", QStringLiteral("&Náhled"), QStringLiteral("Náhled před tiskem"));
    btnClose = button("btnClose", QStringLiteral("&Zavřít"), QStringLiteral("Zavřít formulář"));

    auto *printer = new QHBoxLayout;
    printer->addWidget(lblPrinter);
    printer->addWidget(cbPrinter, 1);
    auto *options = new QVBoxLayout;
    options->addLayout(printer);
    options->addWidget(grpSettings);
    options->addWidget(grpSort);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btnPrint);
    buttons->addWidget(btnPreview);
    buttons->addWidget(btnClose);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(options, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QStringList TfrmTiskQSL::SortOrder() const
{
    if (rBtnCall->isChecked())
        return {QStringLiteral("CALL"), QStringLiteral("DAT"), QStringLiteral("UTC")};
    if (rBtnDate->isChecked())
        return {QStringLiteral("DAT"), QStringLiteral("UTC"), QStringLiteral("CALL")};
    if (rBtnDXCC->isChecked())
        return {QStringLiteral("DXCC"), QStringLiteral("CALL"), QStringLiteral("DAT"), QStringLiteral("UTC")};
    return {QStringLiteral("ID")}; // the bureau order in which the label table was filled
}

bool TfrmTiskQSL::FDirty() const
{
    return m_job->FDirty;
}

void TfrmTiskQSL::GenerujData()
{
    m_job->RvWriter.SetParameter(QStringLiteral("Znacka"), m_host.dm->UserOptions.Call);
    m_job->RvWriter.SetParameter(QStringLiteral("Poznamka"), edtNote->text());
    m_job->GenerujData(
        m_job->RvProject.FindReportByFullName(cbStyle->currentText()),
        [this]() -> TReportRows * {
            qPrint.Close();
            qPrint.Open(m_host.dm->TempDir + QStringLiteral("_QSL.db"), SortOrder());
            return &qPrint;
        },
        cbPrinter->currentIndex());
}

void TfrmTiskQSL::btnPrintClick()
{
    // Nothing printed, nothing marked: the dialog stays open.
    const bool printed = m_job->RenderAndPrint([this] { GenerujData(); }, [this] {
        if (chbQSLo->isChecked() && m_host.setQSLState)
            m_host.setQSLState(fiQSLO, cbQSLo->currentIndex());
    });
    if (printed)
        done(mrOk);
}

void TfrmTiskQSL::btnPreviewClick()
{
    m_job->RenderAndPreview([this] { GenerujData(); });
}

void TfrmTiskQSL::DataChange()
{
    m_job->FDirty = true;
}

void TfrmTiskQSL::changeEvent(QEvent *event)
{
    if (!MinimizeProgramInstead(this, event, m_host.mainWindow))
        QDialog::changeEvent(event);
}

void TfrmTiskQSL::showEvent(QShowEvent *event)
{
    CentreOnOwner(this, m_host.mainWindow);
    QDialog::showEvent(event);
}

void TfrmTiskQSL::reject()
{
    done(mrCancel);
}

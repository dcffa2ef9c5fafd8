#include "print/PrintLog.h"

#include "log/DmLog.h"
#include "HelpWindow.h"
#include "base/Messages.h"
#include "MinimizeProgram.h"
#include "print/PrintJob.h"
#include "WindowPlacement.h"
#include "VelkorVersion.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmTiskDenik::TfrmTiskDenik(const TExchangeHost &host) : QDialog(nullptr), m_host(host)
{
    setObjectName(QStringLiteral("frmTiskDenik"));
    setWindowTitle(QStringLiteral("Tisk deníku"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_job = std::make_unique<TPrintJob>(m_host, this);
    buildLayout();
    AddHelpContextAction(this, 51);

    cbBoxTiskarna->addItems(m_job->RvPrinter.PrinterNames());
    cbBoxTiskarna->setCurrentIndex(m_job->RvPrinter.CurrentPrinter());
    connect(cbBoxTiskarna, &QComboBox::currentIndexChanged, this, [this] { cbBoxTiskarnaChange(); });
    connect(rbVse, &QRadioButton::clicked, this, [this] { rGrpRozsahClick(); });
    connect(rbVybrana, &QRadioButton::clicked, this, [this] { rGrpRozsahClick(); });
    connect(btnTisk, &QPushButton::clicked, this, [this] { btnTiskClick(); });
    connect(btnNahled, &QPushButton::clicked, this, [this] { btnNahledClick(); });
    connect(btnZavrit, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

TfrmTiskDenik::~TfrmTiskDenik()
{
    qTisk.Close();
}

void TfrmTiskDenik::buildLayout()
{
    lblTiskarna = new QLabel(QStringLiteral("Tiskárna:"), this);
    lblTiskarna->setObjectName(QStringLiteral("lblTiskarna"));
    cbBoxTiskarna = new QComboBox(this);
    cbBoxTiskarna->setObjectName(QStringLiteral("cbBoxTiskarna"));
    cbBoxTiskarna->setMinimumWidth(260);
    lblTiskarna->setBuddy(cbBoxTiskarna);

    rGrpRozsah = new QGroupBox(QStringLiteral("Tisknout:"), this);
    rGrpRozsah->setObjectName(QStringLiteral("rGrpRozsah"));
    rbVse = new QRadioButton(QStringLiteral("Vše"), rGrpRozsah);
    rbVse->setObjectName(QStringLiteral("rbVse"));
    rbVse->setChecked(true);
    rbVybrana = new QRadioButton(QStringLiteral("Vybraná spojení"), rGrpRozsah);
    rbVybrana->setObjectName(QStringLiteral("rbVybrana"));
    auto *range = new QVBoxLayout(rGrpRozsah);
    range->addWidget(rbVse);
    range->addWidget(rbVybrana);

    auto button = [this](const char *name, const QString &caption, const QString &hint) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setStatusTip(hint);
        return b;
    };
    btnTisk = button("btnTisk", QStringLiteral("&Tisk"), QStringLiteral("Tisknout sestavu"));
    btnTisk->setDefault(true);
    btnNahled = button("btnNahled", QStringLiteral("&Náhled"), QStringLiteral("Náhled před tiskem"));
    btnZavrit = button("btnZavrit", QStringLiteral("&Zavřít"), QStringLiteral("Zavřít formulář"));

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btnTisk);
    buttons->addWidget(btnNahled);
    buttons->addWidget(btnZavrit);
    buttons->addStretch();
    auto *options = new QVBoxLayout;
    options->addWidget(lblTiskarna);
    options->addWidget(cbBoxTiskarna);
    options->addWidget(rGrpRozsah);
    options->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(options, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int TfrmTiskDenik::RangeIndex() const
{
    return rbVybrana->isChecked() ? 1 : 0;
}

void TfrmTiskDenik::SetRangeIndex(int index)
{
    (index == 1 ? rbVybrana : rbVse)->setChecked(true);
}

QString TfrmTiskDenik::TableFile() const
{
    if (RangeIndex() == 1)
        return m_host.dm->TempDir + QStringLiteral("_Temp.db");
    return m_host.dm->LogFileName(m_host.dm->UserOptions.Call);
}

bool TfrmTiskDenik::FDirty() const
{
    return m_job->FDirty;
}

void TfrmTiskDenik::GenerujData()
{
    const TReportDefinition *report = m_job->RvProject.FindReport(QStringLiteral("rprtDenik"));
    m_job->RvWriter.SetParameter(QStringLiteral("Znacka"), m_host.dm->UserOptions.Call);
    m_job->RvWriter.SetParameter(QStringLiteral("Verze"), QStringLiteral(VELKOR_VERSION_TEXT));
    m_job->GenerujData(
        report,
        [this]() -> TReportRows * {
            qTisk.Close();
            qTisk.Open(TableFile(), {QStringLiteral("DAT"), QStringLiteral("UTC"), QStringLiteral("CALL")});
            return &qTisk;
        },
        cbBoxTiskarna->currentIndex());
}

void TfrmTiskDenik::btnTiskClick()
{
    if (m_job->RenderAndPrint([this] { GenerujData(); }))
        done(mrOk);
}

void TfrmTiskDenik::btnNahledClick()
{
    m_job->RenderAndPreview([this] { GenerujData(); });
}

void TfrmTiskDenik::rGrpRozsahClick()
{
    m_job->FDirty = true;
    if (RangeIndex() == 1 && (!m_host.markedIds || m_host.markedIds().isEmpty())) {
        MessageDlgDef(QStringLiteral("Nejsou vybrána žádná spojení!"), mtInformation, mbOK, mrOk);
        SetRangeIndex(0);
    }
}

void TfrmTiskDenik::cbBoxTiskarnaChange()
{
    m_job->FDirty = true;
}

void TfrmTiskDenik::changeEvent(QEvent *event)
{
    if (!MinimizeProgramInstead(this, event, m_host.mainWindow))
        QDialog::changeEvent(event);
}

void TfrmTiskDenik::showEvent(QShowEvent *event)
{
    CentreOnOwner(this, m_host.mainWindow);
    QDialog::showEvent(event);
}

void TfrmTiskDenik::reject()
{
    done(mrCancel);
}

#include "import/ImportOptionsDialog.h"

#include "radio/Amater.h"
#include "ComboFill.h"
#include "ExchangeHost.h"
#include "FloatComboBox.h"
#include "base/Formats.h"
#include "radio/Kontrola.h"
#include "LocatorEdit.h"
#include "base/Messages.h"
#include "MinimizeProgram.h"
#include "ModalRunner.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmImportOptions::TfrmImportOptions(const TExchangeHost *host)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      m_host(host)
{
    setObjectName(QStringLiteral("frmImportOptions"));
    setWindowTitle(QStringLiteral("Nastavení importu"));

    edtLoc = new TLocatorEdit;
    edtLoc->setObjectName(QStringLiteral("edtLoc"));
    cbPWR = new TFloatComboBox;
    cbPWR->setObjectName(QStringLiteral("cbPWR"));
    cbPWR->SetFormat(QStringLiteral("0.###"));
    chImportSTXSRX = new QCheckBox(QStringLiteral("Importovat STX do pole Jméno a SRX do pole QTH"));
    chImportSTXSRX->setObjectName(QStringLiteral("chImportSTXSRX"));
    chReplaceNote = new QCheckBox(QStringLiteral("Přepsat poznámku u všech spojení"));
    chReplaceNote->setObjectName(QStringLiteral("chReplaceNote"));
    lblNote = new QLabel(QStringLiteral("Poznámka:"));
    lblNote->setObjectName(QStringLiteral("lblNote"));
    edtNote = new QLineEdit;
    edtNote->setObjectName(QStringLiteral("edtNote"));
    edtNote->setMaxLength(LogFieldSizes[fiNOTE]);
    lblNote->setBuddy(edtNote);
    lblNote->setEnabled(false);
    edtNote->setEnabled(false);
    cbCharSet = new QComboBox;
    cbCharSet->setObjectName(QStringLiteral("cbCharSet"));
    chDupe = new QCheckBox(QStringLiteral("Neimportovat duplicitní spojení (značně zpomalí import)"));
    chDupe->setObjectName(QStringLiteral("chDupe"));
    chDupe->setChecked(true);

    actNext = new QAction(QStringLiteral("Pokračovat"), this);
    actNext->setObjectName(QStringLiteral("actNext"));
    actNext->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    actCancel = new QAction(QStringLiteral("Zrušit"), this);
    actCancel->setObjectName(QStringLiteral("actCancel"));
    actCancel->setShortcut(QKeySequence(Qt::Key_Escape));
    actHelp = new QAction(QStringLiteral("Nápověda"), this);
    actHelp->setObjectName(QStringLiteral("actHelp"));
    actHelp->setShortcut(QKeySequence(Qt::Key_F1));
    addActions({actNext, actCancel, actHelp});
    connect(actNext, &QAction::triggered, this, &TfrmImportOptions::actNextExecute);
    connect(actCancel, &QAction::triggered, this, &TfrmImportOptions::reject);
    connect(actHelp, &QAction::triggered, this, [this] {
        if (m_host && m_host->showHelp)
            m_host->showHelp(QStringLiteral("frmImportOptions"));
    });
    connect(chReplaceNote, &QCheckBox::clicked, this, &TfrmImportOptions::chReplaceNoteClick);

    btnNext = new QPushButton(actNext->text());
    btnNext->setObjectName(QStringLiteral("btnNext"));
    btnCancel = new QPushButton(actCancel->text());
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnNext->setAutoDefault(false);
    btnCancel->setAutoDefault(false);
    connect(btnNext, &QPushButton::clicked, actNext, &QAction::trigger);
    connect(btnCancel, &QPushButton::clicked, actCancel, &QAction::trigger);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Vlastní lokátor:"), edtLoc);
    form->addRow(QStringLiteral("Výkon:"), cbPWR);
    form->addRow(chImportSTXSRX);
    form->addRow(chReplaceNote);
    form->addRow(lblNote, edtNote);
    form->addRow(QStringLiteral("Kódování textu:"), cbCharSet);
    form->addRow(chDupe);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnNext);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    const QList<QWidget *> tabOrder{edtLoc,    cbPWR,  chImportSTXSRX, chReplaceNote, edtNote,
                                    cbCharSet, chDupe, btnNext,        btnCancel};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    FormCreate();
}

TfrmImportOptions::~TfrmImportOptions() = default;

void TfrmImportOptions::FormCreate()
{
    FillComboBoxFloat(cbPWR, PowerPresets);
    FillComboBox(cbCharSet,
                 std::span<const QString>(ImportCharSetNames.constData(), ImportCharSetNames.size()));
}

bool TfrmImportOptions::Execute(TImportOptions &options, TImportDisable disable)
{
    load(options, disable);
    if (m_host && m_host->mainWindow)
        move(m_host->mainWindow->geometry().center() - rect().center());
    edtLoc->setFocus();
    if (RunModal(*this) != mrOk)
        return false;
    store(options);
    return true;
}

void TfrmImportOptions::load(const TImportOptions &options, TImportDisable disable)
{
    chDupe->setEnabled(!disable.testFlag(idDupes));
    chImportSTXSRX->setEnabled(!disable.testFlag(idStxSrx));
    cbCharSet->setEnabled(!disable.testFlag(idCharSet));
    edtLoc->setText(options.OwnLocator);
    edtNote->setText(options.Note);
    cbPWR->setCurrentText(Formats::formatFloat(QStringLiteral("0.####"), options.Power));
    chDupe->setChecked(options.CheckDupes);
    chImportSTXSRX->setChecked(options.StxSrxToNameQth);
    chReplaceNote->setChecked(options.ReplaceNote);
    lblNote->setEnabled(options.ReplaceNote);
    edtNote->setEnabled(options.ReplaceNote);
    cbCharSet->setCurrentIndex(options.CharSet < ImportCharSetNames.size() ? options.CharSet : 0);
}

void TfrmImportOptions::store(TImportOptions &options) const
{
    options.OwnLocator = edtLoc->text();
    options.Note = edtNote->text();
    options.Power = cbPWR->Value();
    options.CheckDupes = chDupe->isChecked();
    options.StxSrxToNameQth = chImportSTXSRX->isChecked();
    options.ReplaceNote = chReplaceNote->isChecked();
    options.CharSet = quint8(qMax(cbCharSet->currentIndex(), 0));
}

void TfrmImportOptions::actNextExecute()
{
    if (edtLoc->text().isEmpty()) {
        MessageDlgDef(QStringLiteral("Lokátor musí být zadán!"), mtError, mbOK, mrOk);
        FocusControl(edtLoc);
        return;
    }
    if (!CheckLocator(edtLoc->text(), edtLoc))
        return;
    if (!CheckPower(cbPWR->currentText(), cbPWR))
        return;
    done(mrOk);
}

void TfrmImportOptions::reject()
{
    done(mrCancel);
}

void TfrmImportOptions::chReplaceNoteClick()
{
    const bool on = chReplaceNote->isChecked();
    lblNote->setEnabled(on);
    edtNote->setEnabled(on);
    if (on)
        edtNote->setFocus();
}

void TfrmImportOptions::changeEvent(QEvent *event)
{
    if (!MinimizeProgramInstead(this, event, m_host ? m_host->mainWindow : VisibleMainWindow()))
        QDialog::changeEvent(event);
}

#include "statistics/StatFilterDialog.h"

#include "ActionButton.h"
#include "radio/Amater.h"
#include "ComboFill.h"
#include "DateEdit.h"
#include "FilteredLineEdit.h"
#include "radio/KeyFilters.h"
#include "radio/Kontrola.h"
#include "base/Messages.h"
#include "MinimizeProgram.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The modes a new dialog counts: CW, SSB, AM and FM.
constexpr int DefaultModeRows = 4;

QAction *newAction(QObject *parent, const char *name, const QString &text)
{
    auto *action = new QAction(text, parent);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

TfrmStatFilter::TfrmStatFilter(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmStatFilter"));
    setWindowTitle(QStringLiteral("Nastavení statistiky"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    createModeList();

    edtDateMin = new TDateEdit(this);
    edtDateMin->setObjectName(QStringLiteral("edtDateMin"));
    edtDateMax = new TDateEdit(this);
    edtDateMax->setObjectName(QStringLiteral("edtDateMax"));
    cbBoxPWRmin = createPowerBox("cbBoxPWRmin");
    cbBoxPWRmax = createPowerBox("cbBoxPWRmax");

    actOk = newAction(this, "actOk", QStringLiteral("Ok"));
    connect(actOk, &QAction::triggered, this, &TfrmStatFilter::actOkExecute);
    actCancel = newAction(this, "actCancel", QStringLiteral("Zrušit"));
    connect(actCancel, &QAction::triggered, this, &TfrmStatFilter::reject);
    auto *btnOk = MakeActionButton(actOk, "btnOk", this);
    btnOk->setDefault(true);
    auto *btnCancel = MakeActionButton(actCancel, "btnCancel", this);

    auto *limits = new QGridLayout;
    const auto addRow = [limits, this](int row, const QString &from, QWidget *min, QWidget *max) {
        auto *label = new QLabel(from, this);
        label->setBuddy(min);
        limits->addWidget(label, row, 0);
        limits->addWidget(min, row, 1);
        limits->addWidget(new QLabel(QStringLiteral("do"), this), row, 2);
        limits->addWidget(max, row, 3);
    };
    addRow(0, QStringLiteral("Datum od"), edtDateMin, edtDateMax);
    addRow(1, QStringLiteral("Výkon od"), cbBoxPWRmin, cbBoxPWRmax);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto *lblModes = new QLabel(QStringLiteral("Módy"), this);
    lblModes->setBuddy(chlBoxModes);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblModes);
    layout->addWidget(chlBoxModes);
    layout->addLayout(limits);
    layout->addLayout(buttons);
}

void TfrmStatFilter::createModeList()
{
    chlBoxModes = new QListWidget(this);
    chlBoxModes->setObjectName(QStringLiteral("chlBoxModes"));
    // Three columns of mode names, filled top to bottom.
    chlBoxModes->setFlow(QListView::TopToBottom);
    chlBoxModes->setWrapping(true);
    chlBoxModes->setResizeMode(QListView::Adjust);
    chlBoxModes->setGridSize(QSize(110, 20));
    chlBoxModes->setMinimumSize(345, 10 * 20 + 6);
    for (int mode = 1; mode < ModeCount; ++mode) {
        auto *item = new QListWidgetItem(ModeNames[mode], chlBoxModes);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(mode <= DefaultModeRows ? Qt::Checked : Qt::Unchecked);
    }
    pmMode = new QMenu(this);
    pmMode->setObjectName(QStringLiteral("pmMode"));
    actModeAll = newAction(this, "actModeAll", QStringLiteral("Všechny"));
    connect(actModeAll, &QAction::triggered, this, [this] { checkAllModes(true); });
    actModeNone = newAction(this, "actModeNone", QStringLiteral("Žádné"));
    connect(actModeNone, &QAction::triggered, this, [this] { checkAllModes(false); });
    pmMode->addAction(actModeAll);
    pmMode->addAction(actModeNone);
    chlBoxModes->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(chlBoxModes, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { pmMode->popup(chlBoxModes->viewport()->mapToGlobal(pos)); });
}

QComboBox *TfrmStatFilter::createPowerBox(const char *name)
{
    auto *box = new QComboBox(this);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    auto *edit = new TFilteredLineEdit(box);
    edit->setKeyFilter(FloatKeyFilter);
    edit->setMaxLength(5);
    box->setLineEdit(edit);
    box->setMaxVisibleItems(12);
    FillComboBoxFloat(box, PowerPresets);
    box->setCurrentIndex(-1);
    box->setEditText(QString());
    return box;
}

void TfrmStatFilter::checkAllModes(bool checked)
{
    for (int row = 0; row < chlBoxModes->count(); ++row)
        chlBoxModes->item(row)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

TStatFilterChoice TfrmStatFilter::Choice() const
{
    TStatFilterChoice choice;
    for (int row = 0; row < chlBoxModes->count(); ++row)
        if (chlBoxModes->item(row)->checkState() == Qt::Checked)
            choice.modes << row + 1;
    choice.dateMin = edtDateMin->text();
    choice.dateMax = edtDateMax->text();
    choice.powerMin = cbBoxPWRmin->currentText();
    choice.powerMax = cbBoxPWRmax->currentText();
    return choice;
}

void TfrmStatFilter::actOkExecute()
{
    if (Choice().modes.isEmpty()) {
        MessageDlgDef(QStringLiteral("Není vybrán žádný mód!"), mtError, mbOK, mrOk);
        return;
    }
    if (!edtDateMin->text().isEmpty() && !CheckDate(edtDateMin->text(), edtDateMin))
        return;
    if (!edtDateMax->text().isEmpty() && !CheckDate(edtDateMax->text(), edtDateMax))
        return;
    if (!cbBoxPWRmin->currentText().isEmpty() && !CheckPower(cbBoxPWRmin->currentText(), cbBoxPWRmin))
        return;
    if (!cbBoxPWRmax->currentText().isEmpty() && !CheckPower(cbBoxPWRmax->currentText(), cbBoxPWRmax))
        return;
    done(mrOk);
}

void TfrmStatFilter::reject()
{
    done(mrCancel);
}

void TfrmStatFilter::changeEvent(QEvent *event)
{
    if (!MinimizeProgramInstead(this, event, VisibleMainWindow()))
        QDialog::changeEvent(event);
}

#include "FilterDialog.h"

#include "ActionButton.h"
#include "AppGlobals.h"
#include "ComboKeys.h"
#include "log/DmLog.h"
#include "base/Formats.h"
#include "base/Messages.h"
#include "MinimizeProgram.h"
#include "ModalRunner.h"
#include "SearchLineEdit.h"
#include "log/VkrDatabase.h"
#include "WindowCommands.h"
#include "radio/Amater.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TfrmFilter *frmFilter = nullptr;

namespace {

QPushButton *actionButton(QAction *action, const char *name, QWidget *parent)
{
    QPushButton *button = MakeActionButton(action, name, parent);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TfrmFilter::TfrmFilter(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmFilter"));
    setWindowTitle(QStringLiteral("Filtr"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    vedtFiltr = new QTableWidget(0, 2, this);
    vedtFiltr->setObjectName(QStringLiteral("vedtFiltr"));
    vedtFiltr->setHorizontalHeaderLabels({QStringLiteral("Pole"), QStringLiteral("Hodnota")});
    vedtFiltr->setColumnWidth(0, 139);
    vedtFiltr->setColumnWidth(1, 536);
    vedtFiltr->horizontalHeader()->setStretchLastSection(true);
    vedtFiltr->verticalHeader()->setVisible(false);
    vedtFiltr->verticalHeader()->setDefaultSectionSize(QFontMetrics(vedtFiltr->font()).height() + 4);
    vedtFiltr->setSelectionBehavior(QAbstractItemView::SelectRows);
    vedtFiltr->setSelectionMode(QAbstractItemView::SingleSelection);
    vedtFiltr->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vedtFiltr->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    vedtFiltr->setMinimumSize(700, 220);
    vedtFiltr->installEventFilter(this);

    cbBoxPole = new QComboBox(this);
    cbBoxPole->setObjectName(QStringLiteral("cbBoxPole"));
    cbBoxPole->setMaxVisibleItems(13);
    cbBoxOp = new QComboBox(this);
    cbBoxOp->setObjectName(QStringLiteral("cbBoxOp"));
    edtHod = new QComboBox(this);
    edtHod->setObjectName(QStringLiteral("edtHod"));
    edtHod->setInsertPolicy(QComboBox::NoInsert);
    edtHod->setMinimumWidth(260);
    WatchComboKeys(edtHod, this);
    edtHodEdit = nullptr;

    // Enter adds the condition from whichever box of the window has the focus.
    actPridat = MakeWindowAction(this, "actPridat", QStringLiteral("Přidat"), QString(),
                                 {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    actSmazat = MakeWindowAction(this, "actSmazat", QStringLiteral("Smazat"), QString());
    actPouzit = MakeWindowAction(this, "actPouzit", QStringLiteral("Použít"), QString());
    actZavrit = MakeWindowAction(this, "actZavrit", QStringLiteral("Zavřít"), QString(),
                                 {QKeySequence(Qt::Key_Escape)});
    actVypnout = MakeWindowAction(this, "actVypnout", QStringLiteral("Vypnout"), QString());
    actHelp = MakeWindowAction(this, "actHelp", QStringLiteral("Nápověda"), QString(), {QKeySequence(Qt::Key_F1)});
    connect(actPridat, &QAction::triggered, this, &TfrmFilter::actPridatExecute);
    connect(actSmazat, &QAction::triggered, this, &TfrmFilter::actSmazatExecute);
    connect(actPouzit, &QAction::triggered, this, &TfrmFilter::actPouzitExecute);
    connect(actZavrit, &QAction::triggered, this, [this] { done(mrCancel); });
    connect(actVypnout, &QAction::triggered, this, [this] { done(mrAbort); });
    connect(actHelp, &QAction::triggered, this, [this] {
        if (dmLog)
            ShowHelpTopic(dmLog->AppDir, objectName());
    });

    btnAdd = actionButton(actPridat, "btnAdd", this);
    btnDel = actionButton(actSmazat, "btnDel", this);
    btnPouzit = actionButton(actPouzit, "btnPouzit", this);
    btnZavrit = actionButton(actZavrit, "btnZavrit", this);
    btnZavrit->setText(QStringLiteral("Zpět"));
    btnVypnout = actionButton(actVypnout, "btnVypnout", this);
    btnNapoveda = actionButton(actHelp, "btnNapoveda", this);

    auto *group = new QGroupBox(QStringLiteral("Nový filtr"), this);
    auto *row = new QHBoxLayout;
    row->addWidget(cbBoxPole);
    row->addWidget(cbBoxOp);
    row->addWidget(edtHod, 1);
    row->addWidget(btnAdd);
    row->addWidget(btnDel);
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addLayout(row);
    groupLayout->addWidget(new QLabel(QStringLiteral("Všechny znaky symbolizuje znak *    ( př: OK2* )"), group));
    groupLayout->addWidget(new QLabel(QStringLiteral("Filtr není citlivý na malá a velká písmena.  Jednotlivé "
                                                     "podmínky platí všechny současně (viz. help)."),
                                      group));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnPouzit);
    buttons->addWidget(btnZavrit);
    buttons->addWidget(btnVypnout);
    buttons->addWidget(btnNapoveda);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(vedtFiltr, 1);
    layout->addWidget(group);
    layout->addLayout(buttons);

    for (int field : FilterFields)
        cbBoxPole->addItem(LogFieldCaptions[field], field);
    connect(cbBoxPole, &QComboBox::activated, this, [this] { cbBoxPoleSelect(); });
    cbBoxPole->setCurrentIndex(0);
    cbBoxPoleSelect();
    setFocusProxy(edtHod);
}

// Every opening starts in the value box, so that a value typed at once lands there.
void TfrmFilter::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    edtHod->setFocus();
}

int TfrmFilter::SelectedField() const
{
    return cbBoxPole->currentData().toInt();
}

void TfrmFilter::SelectField(int logField)
{
    const int index = cbBoxPole->findData(logField);
    if (index < 0)
        return;
    cbBoxPole->setCurrentIndex(index);
    cbBoxPoleSelect();
}

// The operator box and the value box follow the chosen field.
void TfrmFilter::cbBoxPoleSelect()
{
    const int field = SelectedField();
    cbBoxOp->clear();
    cbBoxOp->addItems(FilterFieldTakesAllOperators(field) ? FilterOperators : FilterOperators.mid(0, 2));
    cbBoxOp->setCurrentIndex(0);

    edtHod->clear();
    const QStringList picks = FilterPickNames(field);
    if (!picks.isEmpty()) {
        edtHod->setEditable(false);
        edtHodEdit = nullptr;
        edtHod->addItems(picks);
        edtHod->setCurrentIndex(0);
        return;
    }
    edtHod->setEditable(true);
    edtHodEdit = new TSearchLineEdit(edtHod);
    edtHodEdit->setObjectName(QStringLiteral("edtHodEdit"));
    edtHod->setLineEdit(edtHodEdit);
    WatchComboKeys(edtHod, this);
    const QString star = QStringLiteral("*");
    switch (field) {
    case fiCALL:
    case fiDXCC:
        edtHodEdit->SetKeyKind(TSearchLineEdit::kkCall, star);
        break;
    case fiLOCO:
    case fiLOCP:
        edtHodEdit->SetKeyKind(TSearchLineEdit::kkLocator, star);
        break;
    case fiIOTA:
        edtHodEdit->SetKeyKind(TSearchLineEdit::kkIOTA, star);
        break;
    case fiAWARD:
        edtHodEdit->SetKeyKind(TSearchLineEdit::kkCallDash, star);
        break;
    case fiITU:
    case fiWAZ:
        edtHodEdit->SetKeyKind(TSearchLineEdit::kkDigit);
        break;
    case fiDAT:
        edtHodEdit->SetKeyKind(TSearchLineEdit::kkDate);
        break;
    case fiFREQ:
        edtHodEdit->SetKeyKind(TSearchLineEdit::kkFloat);
        for (int band = 0; band < BandCount - 1; ++band)
            edtHod->addItem(Formats::floatToStr(BandLow[band]));
        edtHod->setCurrentIndex(0);
        break;
    case fiPWR:
        edtHodEdit->SetKeyKind(TSearchLineEdit::kkFloat);
        break;
    default:
        edtHodEdit->SetKeyKind(TSearchLineEdit::kkNone);
        break;
    }
    if (field != fiFREQ)
        edtHodEdit->clear();
}

QList<TFilterRow> TfrmFilter::Rows() const
{
    QList<TFilterRow> rows;
    for (int i = 0; i < vedtFiltr->rowCount(); ++i)
        rows.append({vedtFiltr->item(i, 0)->text(), vedtFiltr->item(i, 1)->text()});
    return rows;
}

void TfrmFilter::SetRows(const QList<TFilterRow> &rows)
{
    vedtFiltr->setRowCount(0);
    for (const TFilterRow &row : rows)
        appendRow(vedtFiltr->rowCount(), row);
}

void TfrmFilter::ClearRows()
{
    vedtFiltr->setRowCount(0);
}

void TfrmFilter::appendRow(int position, const TFilterRow &row)
{
    vedtFiltr->insertRow(position);
    vedtFiltr->setItem(position, 0, new QTableWidgetItem(row.key));
    vedtFiltr->setItem(position, 1, new QTableWidgetItem(row.value));
}

void TfrmFilter::actPridatExecute()
{
    if (vedtFiltr->rowCount() >= MaxFilterConditions) {
        MessageDlgDef(QStringLiteral("Je dovoleno zadat maximálně 50 podmínek."), mtInformation, mbOK, mrOk);
        return;
    }
    const int field = SelectedField();
    const QString op = cbBoxOp->currentText();
    QString text = edtHod->currentText();
    const QString problem = CheckFilterValue(field, op, text);
    if (!problem.isEmpty()) {
        MessageDlgDef(problem, mtError, mbOK, mrOk);
        edtHod->setFocus();
        return;
    }
    const TFilterRow row = MakeFilterRow(field, op, text);
    const int after = FindConditionRow(Rows(), row.key, op);
    const int position = after < 0 ? vedtFiltr->rowCount() : after + 1;
    appendRow(position, row);
    vedtFiltr->selectRow(position);
    if (edtHodEdit)
        edtHodEdit->clear();
    edtHod->setFocus();
}

void TfrmFilter::actSmazatExecute()
{
    const int row = vedtFiltr->currentRow();
    if (vedtFiltr->rowCount() > 0 && row >= 0)
        vedtFiltr->removeRow(row);
}

void TfrmFilter::actPouzitExecute()
{
    FSqlLines.clear();
    FSqlValues.clear();
    if (vedtFiltr->rowCount() == 0) {
        done(mrAbort);
        return;
    }
    const TFilterSql sql = BuildFilterLines(Rows());
    FSqlLines = sql.lines;
    FSqlValues = sql.values;
    done(mrOk);
}

int TfrmFilter::Execute()
{
    const QList<TFilterRow> saved = Rows();
    setResult(mrCancel);
    const int result = RunModal(*this);
    if (result != mrOk && result != mrAbort)
        SetRows(saved); // the edits of this visit are undone
    return result;
}

void TfrmFilter::reject()
{
    done(mrCancel);
}

bool TfrmFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (watched == vedtFiltr && key->key() == Qt::Key_Delete) {
            actSmazat->trigger();
            return true;
        }
        // Enter in the value box adds the condition; it never becomes part of the value.
        if (IsComboEventOf(watched, edtHod) && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            actPridat->trigger();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmFilter::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    MinimizeProgramInstead(this, event, VisibleMainWindow());
}

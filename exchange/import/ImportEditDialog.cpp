#include "import/ImportEditDialog.h"

#include "radio/Amater.h"
#include "ComboFill.h"
#include "DateEdit.h"
#include "radio/DxccList.h"
#include "ExchangeHost.h"
#include "FilteredLineEdit.h"
#include "FloatComboBox.h"
#include "IOTAEdit.h"
#include "radio/KeyFilters.h"
#include "radio/Kontrola.h"
#include "radio/Locator.h"
#include "LocatorEdit.h"
#include "base/Messages.h"
#include "MinimizeProgram.h"
#include "ReportEdit.h"
#include "TimeEdit.h"
#include "log/VkrDatabase.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

TFilteredLineEdit *filteredEdit(const char *name, int maxLength, TFilteredLineEdit::KeyFilter filter)
{
    auto *edit = named(new TFilteredLineEdit, name);
    edit->setMaxLength(maxLength);
    edit->setKeyFilter(std::move(filter));
    return edit;
}

QLineEdit *plainEdit(const char *name, int maxLength)
{
    auto *edit = named(new QLineEdit, name);
    edit->setMaxLength(maxLength);
    return edit;
}

QString fieldText(const TLogRecord &r, int field)
{
    return LogValueAsString(field, r[field]);
}

} // namespace

TfrmImportEdit::TfrmImportEdit(const TLogRecord &record, const TExchangeHost *host)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      m_host(host)
{
    setObjectName(QStringLiteral("frmImportEdit"));
    setWindowTitle(QStringLiteral("Editace spojení"));
    buildLayout();
    FormCreate();
    LoadData(record);
    if (m_host && m_host->mainWindow)
        move(m_host->mainWindow->geometry().center() - rect().center());
}

TfrmImportEdit::~TfrmImportEdit() = default;

void TfrmImportEdit::buildLayout()
{
    edtDate = named(new TDateEdit, "edtDate");
    edtTime = named(new TTimeEdit, "edtTime");
    edtCall = filteredEdit("edtCall", 15, [](QChar &k) { CallKeyFilter(k); });
    cbBoxFreq = named(new TFloatComboBox, "cbBoxFreq");
    cbBoxFreq->setMaxVisibleItems(17);
    cbBoxMode = named(new QComboBox, "cbBoxMode");
    cbBoxMode->setMaxVisibleItems(12);
    edtRSTo = named(new TReportEdit, "edtRSTo");
    edtRSTp = named(new TReportEdit, "edtRSTp");
    edtRSTo->setMaxLength(3);
    edtRSTp->setMaxLength(3);
    edtLOCo = named(new TLocatorEdit, "edtLOCo");
    edtLOCp = named(new TLocatorEdit, "edtLOCp");
    edtNote = plainEdit("edtNote", 50);
    edtDxcc = filteredEdit("edtDxcc", 5, [](QChar &k) { CallKeyFilter(k); });
    edtITU = filteredEdit("edtITU", 2, DigitKeyFilter);
    edtWAZ = filteredEdit("edtWAZ", 2, DigitKeyFilter);
    edtIOTA = named(new TIOTAEdit, "edtIOTA");
    edtAward = filteredEdit("edtAward", 12, [](QChar &k) { CallDashKeyFilter(k); });
    // No more than the log keeps, so that nothing typed is cut when the record is written.
    edtName = plainEdit("edtName", LogFieldSizes[fiNAME]);
    edtQTH = plainEdit("edtQTH", 20);
    edtQSLvia = plainEdit("edtQSLvia", 15);
    // The QSL manager's call in upper case, as typed.
    connect(edtQSLvia, &QLineEdit::textEdited, edtQSLvia, [this](const QString &text) {
        if (text != text.toUpper()) {
            const int caret = edtQSLvia->cursorPosition();
            edtQSLvia->setText(text.toUpper());
            edtQSLvia->setCursorPosition(caret);
        }
    });
    cbBoxQSLo = named(new QComboBox, "cbBoxQSLo");
    cbBoxQSLp = named(new QComboBox, "cbBoxQSLp");
    cbBoxEQSL = named(new QComboBox, "cbBoxEQSL");
    cbBoxPWR = named(new TFloatComboBox, "cbBoxPWR");
    cbBoxPWR->lineEdit()->setMaxLength(5);

    actSave = named(new QAction(QStringLiteral("Uložit"), this), "actSave");
    actSave->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    actClose = named(new QAction(QStringLiteral("Zavřít"), this), "actClose");
    actClose->setShortcut(QKeySequence(Qt::Key_Escape));
    addActions({actSave, actClose});
    connect(actSave, &QAction::triggered, this, &TfrmImportEdit::actSaveExecute);
    connect(actClose, &QAction::triggered, this, &TfrmImportEdit::reject);
    btnSave = named(new QPushButton(actSave->text()), "btnSave");
    btnClose = named(new QPushButton(actClose->text()), "btnClose");
    btnSave->setAutoDefault(false);
    btnClose->setAutoDefault(false);
    connect(btnSave, &QPushButton::clicked, actSave, &QAction::trigger);
    connect(btnClose, &QPushButton::clicked, actClose, &QAction::trigger);

    // Left column, then the right-hand columns, each top to bottom.
    const QList<QPair<const char *, QWidget *>> left{
        {"Datum:", edtDate}, {"Čas:", edtTime},   {"Značka:", edtCall},
        {"MHz:", cbBoxFreq}, {"Mód:", cbBoxMode}, {"RSTo:", edtRSTo},
        {"RSTp:", edtRSTp},  {"LOCo:", edtLOCo},  {"LOCp:", edtLOCp}};
    const QList<QPair<const char *, QWidget *>> middle{
        {"DXCC:", edtDxcc},    {"ITU:", edtITU},    {"WAZ:", edtWAZ}, {"IOTA:", edtIOTA},
        {"Diplom:", edtAward}, {"Jméno:", edtName}, {"QTH:", edtQTH}, {"QSL via:", edtQSLvia}};
    const QList<QPair<const char *, QWidget *>> right{
        {"QSLo", cbBoxQSLo}, {"QSLp", cbBoxQSLp}, {"eQSL", cbBoxEQSL}, {"PWR:", cbBoxPWR}};
    auto *grid = new QGridLayout;
    int column = 0;
    for (const auto *list : {&left, &middle, &right}) {
        int row = 0;
        for (const auto &[caption, widget] : *list) {
            auto *label = new QLabel(QString::fromUtf8(caption));
            label->setBuddy(widget);
            grid->addWidget(label, row, column);
            grid->addWidget(widget, row, column + 1);
            m_inputs << widget;
            ++row;
        }
        column += 2;
    }
    auto *noteLabel = new QLabel(QStringLiteral("Poznámka:"));
    noteLabel->setBuddy(edtNote);
    grid->addWidget(noteLabel, 9, 0);
    grid->addWidget(edtNote, 9, 1, 1, 5);
    m_inputs.insert(9, edtNote); // after the partner's locator
    for (QWidget *w : m_inputs)
        w->installEventFilter(this);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnSave);
    buttons->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    for (qsizetype i = 1; i < m_inputs.size(); ++i)
        setTabOrder(m_inputs[i - 1], m_inputs[i]);
    setTabOrder(m_inputs.last(), btnSave);
    setTabOrder(btnSave, btnClose);
}

void TfrmImportEdit::FormCreate()
{
    FillComboBoxFloatRange(cbBoxFreq, BandLow, 0, BandOutside - 1);
    FillComboBoxRange(cbBoxMode, ModeNames, 1, ModeCount - 1);
    FillComboBox(cbBoxQSLo, QslSentNames);
    FillComboBox(cbBoxQSLp, QslRcvdNames);
    FillComboBox(cbBoxEQSL, EQslNames);
    FillComboBoxFloat(cbBoxPWR, PowerPresets);
}

void TfrmImportEdit::LoadData(const TLogRecord &r)
{
    edtDate->setText(fieldText(r, fiDAT));
    edtTime->setText(fieldText(r, fiUTC));
    edtCall->setText(fieldText(r, fiCALL));
    cbBoxFreq->setCurrentText(fieldText(r, fiFREQ));
    const int mode = r[fiMODE].toInt();
    cbBoxMode->setCurrentIndex(mode > 0 && mode < ModeCount ? cbBoxMode->findText(ModeNames[mode]) : -1);
    edtRSTo->setText(fieldText(r, fiRSTO));
    edtRSTp->setText(fieldText(r, fiRSTP));
    edtLOCo->setText(fieldText(r, fiLOCO));
    edtLOCp->setText(fieldText(r, fiLOCP));
    edtNote->setText(fieldText(r, fiNOTE));
    edtDxcc->setText(fieldText(r, fiDXCC));
    edtITU->setText(fieldText(r, fiITU));
    edtWAZ->setText(fieldText(r, fiWAZ));
    edtIOTA->setText(fieldText(r, fiIOTA));
    edtAward->setText(fieldText(r, fiAWARD));
    edtName->setText(fieldText(r, fiNAME));
    edtQTH->setText(fieldText(r, fiQTH));
    edtQSLvia->setText(fieldText(r, fiQSLVIA));
    const auto selectState = [&r](QComboBox *box, int field) {
        const int value = r[field].toInt();
        box->setCurrentIndex(value >= 0 && value < box->count() ? value : -1);
    };
    selectState(cbBoxQSLo, fiQSLO);
    selectState(cbBoxQSLp, fiQSLP);
    selectState(cbBoxEQSL, fiEQSLP);
    cbBoxPWR->setCurrentText(fieldText(r, fiPWR));
}

void TfrmImportEdit::StoreData(TLogRecord &r, TDxccList *dxcc) const
{
    const auto set = [&r](int field, const QString &text) { r[field] = LogValueFromText(field, text); };
    set(fiDAT, edtDate->text());
    set(fiUTC, edtTime->text());
    set(fiCALL, edtCall->text());
    set(fiFREQ, cbBoxFreq->currentText());
    r[fiBAND] = GetBandIndex(r[fiFREQ].toDouble());
    r[fiMODE] = GetModeIndex(cbBoxMode->currentText());
    set(fiRSTO, edtRSTo->text());
    set(fiRSTP, edtRSTp->text());
    set(fiNAME, edtName->text());
    set(fiQTH, edtQTH->text());
    set(fiLOCO, edtLOCo->text());
    set(fiLOCP, edtLOCp->text());
    r[fiQSLO] = qMax(cbBoxQSLo->currentIndex(), 0);
    r[fiQSLP] = qMax(cbBoxQSLp->currentIndex(), 0);
    set(fiQSLVIA, edtQSLvia->text());
    r[fiEQSLP] = qMax(cbBoxEQSL->currentIndex(), 0);
    set(fiNOTE, edtNote->text());
    set(fiPWR, cbBoxPWR->currentText());
    // The distance to the partner's locator, else to the entity of the DXCC code.
    const QString own = edtLOCo->text();
    const QString partner = edtLOCp->text();
    const bool entity = dxcc && !edtDxcc->text().isEmpty() && dxcc->FindDxcc(edtDxcc->text());
    if (IsValidLocator(own) && !own.isEmpty() && ((!partner.isEmpty() && IsValidLocator(partner)) || entity))
        r[fiQRB] = double(DistanceFromOwnLocator(own, partner, entity ? dxcc->GetLongitude() : 0,
                                                 entity ? dxcc->GetLatitude() : 0));
    else
        r[fiQRB] = 0.0;
    set(fiDXCC, edtDxcc->text());
    set(fiIOTA, edtIOTA->text());
    set(fiAWARD, edtAward->text());
    set(fiITU, edtITU->text());
    set(fiWAZ, edtWAZ->text());
}

void TfrmImportEdit::actSaveExecute()
{
    if (!CheckCall(edtCall->text(), edtCall) || !CheckFreq(cbBoxFreq->currentText(), cbBoxFreq) ||
        !CheckLocator(edtLOCp->text(), edtLOCp) || !CheckLocator(edtLOCo->text(), edtLOCo) ||
        !CheckDXCC(edtDxcc->text(), edtDxcc) || !CheckITU(edtITU->text(), edtITU) ||
        !CheckWAZ(edtWAZ->text(), edtWAZ) || !CheckIOTA(edtIOTA->text(), edtIOTA) ||
        !CheckTime(edtTime->text(), edtTime) || !CheckDate(edtDate->text(), edtDate) ||
        !CheckPower(cbBoxPWR->currentText(), cbBoxPWR))
        return;
    if (edtLOCo->text().isEmpty()) {
        MessageDlgDef(QStringLiteral("Lokátor musí být zadán!"), mtError, mbOK, mrOk);
        FocusControl(edtLOCo);
        return;
    }
    done(mrOk);
}

void TfrmImportEdit::reject()
{
    done(mrCancel);
}

bool TfrmImportEdit::eventFilter(QObject *watched, QEvent *event)
{
    // Up and Down walk the controls in tab order, in edits and lists alike.
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *combo = qobject_cast<QComboBox *>(watched);
        if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) && key->modifiers() == Qt::NoModifier &&
            !(combo && combo->view()->isVisible())) {
            focusNextPrevChild(key->key() == Qt::Key_Down);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmImportEdit::changeEvent(QEvent *event)
{
    if (!MinimizeProgramInstead(this, event, m_host ? m_host->mainWindow : VisibleMainWindow()))
        QDialog::changeEvent(event);
}

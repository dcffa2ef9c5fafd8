#include "EditSelQSOsDialog.h"

#include "radio/Amater.h"
#include "ComboFill.h"
#include "FilteredLineEdit.h"
#include "radio/KeyFilters.h"
#include "radio/Kontrola.h"
#include "log/LogRecord.h"
#include "base/Messages.h"
#include "base/MessageTexts.h"
#include "MinimizeProgram.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QVBoxLayout>

namespace {

// The three forms the value box takes: a plain edit, an edit with a list of suggestions,
// a list to pick from.
enum class TValueForm { PlainEdit, EditWithList, List };

TValueForm formOf(int field)
{
    switch (field) {
    case fiFREQ:
    case fiPWR:
        return TValueForm::EditWithList;
    case fiMODE:
    case fiQSLO:
    case fiQSLP:
    case fiEQSLP:
        return TValueForm::List;
    default:
        return TValueForm::PlainEdit;
    }
}

// The value box: a combo box that, as a plain edit, neither shows its arrow nor opens.
class TValueBox : public QComboBox
{
public:
    using QComboBox::QComboBox;
    bool plain = true;

    void showPopup() override
    {
        if (!plain)
            QComboBox::showPopup();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter painter(this);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        if (plain)
            option.subControls &= ~QStyle::SC_ComboBoxArrow;
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        painter.drawControl(QStyle::CE_ComboBoxLabel, option);
    }
};

// The edit inside the value box: it filters what is typed by the chosen field.
class TValueEdit : public TFilteredLineEdit
{
public:
    explicit TValueEdit(int field, QWidget *parent = nullptr) : TFilteredLineEdit(parent), m_field(field)
    {
        // A text field takes no more than the log keeps, so that nothing typed is cut on writing.
        if (LogFieldSizes[field] > 0)
            setMaxLength(LogFieldSizes[field]);
    }

protected:
    void filterKey(QChar &key) override
    {
        switch (m_field) {
        case fiDAT:
            applyTypingAid(key, DateKeyFilter);
            break;
        case fiUTC:
            applyTypingAid(key, TimeKeyFilter);
            break;
        case fiFREQ:
        case fiPWR:
            FloatKeyFilter(key);
            break;
        case fiRSTO:
        case fiRSTP:
            ReportKeyFilter(key);
            break;
        case fiLOCO:
        case fiLOCP:
            LocatorKeyFilter(key, insertPosition());
            break;
        case fiDXCC:
            CallKeyFilter(key);
            break;
        case fiIOTA:
            IOTAKeyFilter(key, insertPosition());
            break;
        case fiITU:
        case fiWAZ:
            DigitKeyFilter(key);
            break;
        case fiAWARD:
            CallDashKeyFilter(key);
            break;
        default:
            break; // name, QTH, QSL via, note: any text
        }
    }

private:
    int m_field;
};

bool isEnter(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

} // namespace

TfrmEditSelQSOs::TfrmEditSelQSOs(QWidget *mainWindow)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                           | Qt::WindowCloseButtonHint),
      m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("frmEditSelQSOs"));
    setWindowTitle(QStringLiteral("Hromadná editace"));

    grpBoxData = new QGroupBox(QStringLiteral("Data"));
    grpBoxData->setObjectName(QStringLiteral("grpBoxData"));
    cbBoxField = new QComboBox;
    cbBoxField->setObjectName(QStringLiteral("cbBoxField"));
    cbBoxField->setMaxVisibleItems(16);
    auto *valueBox = new TValueBox;
    cbBoxValue = valueBox;
    cbBoxValue->setObjectName(QStringLiteral("cbBoxValue"));
    cbBoxValue->setMaxVisibleItems(16);
    cbBoxValue->setInsertPolicy(QComboBox::NoInsert);
    cbBoxValue->setMinimumWidth(200);
    cbBoxValue->installEventFilter(this);

    auto *grid = new QGridLayout(grpBoxData);
    grid->addWidget(new QLabel(QStringLiteral("Údaj:")), 0, 0);
    grid->addWidget(cbBoxField, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Hodnota:")), 1, 0);
    grid->addWidget(cbBoxValue, 1, 1);
    grid->setColumnStretch(1, 1);

    actSave = new QAction(QStringLiteral("Uložit"), this);
    actSave->setObjectName(QStringLiteral("actSave"));
    actSave->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    actClose = new QAction(QStringLiteral("Zavřít"), this);
    actClose->setObjectName(QStringLiteral("actClose"));
    actClose->setShortcut(QKeySequence(Qt::Key_Escape));
    addAction(actSave);
    addAction(actClose);
    connect(actSave, &QAction::triggered, this, &TfrmEditSelQSOs::actSaveExecute);
    connect(actClose, &QAction::triggered, this, &TfrmEditSelQSOs::actCloseExecute);

    auto *btnSave = new QPushButton(actSave->text());
    btnSave->setObjectName(QStringLiteral("btnSave"));
    auto *btnClose = new QPushButton(actClose->text());
    btnClose->setObjectName(QStringLiteral("btnClose"));
    for (QPushButton *button : {btnSave, btnClose}) {
        // Enter in the value box must not close the dialog.
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(btnSave, &QPushButton::clicked, actSave, &QAction::trigger);
    connect(btnClose, &QPushButton::clicked, actClose, &QAction::trigger);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnSave);
    buttons->addWidget(btnClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(grpBoxData);
    layout->addLayout(buttons);

    FormCreate();
    connect(cbBoxField, &QComboBox::currentIndexChanged, this, &TfrmEditSelQSOs::cbBoxFieldChange);
}

TfrmEditSelQSOs::~TfrmEditSelQSOs() = default;

void TfrmEditSelQSOs::FormCreate()
{
    for (int field : EditFieldIndexes)
        cbBoxField->addItem(LogFieldCaptions[field]);
    cbBoxField->setCurrentIndex(0);
    cbBoxFieldChange();
}

int TfrmEditSelQSOs::SelectedField() const
{
    const int position = cbBoxField->currentIndex();
    return position >= 0 && position < int(EditFieldIndexes.size()) ? EditFieldIndexes[position] : -1;
}

QString TfrmEditSelQSOs::SelectedValue() const
{
    switch (SelectedField()) {
    case fiMODE:
        return QString::number(cbBoxValue->currentIndex() + 1); // the list starts at CW, mode 1
    case fiQSLO:
    case fiQSLP:
    case fiEQSLP:
        return QString::number(cbBoxValue->currentIndex());
    default:
        return cbBoxValue->currentText();
    }
}

void TfrmEditSelQSOs::cbBoxFieldChange()
{
    const int field = SelectedField();
    auto *box = static_cast<TValueBox *>(cbBoxValue);
    const TValueForm form = formOf(field);
    box->clear();
    box->plain = form == TValueForm::PlainEdit;
    box->setEditable(form != TValueForm::List);
    if (form != TValueForm::List) {
        // A fresh edit for every field: it filters by the field chosen now.
        auto *edit = new TValueEdit(field);
        box->setLineEdit(edit);
        edit->installEventFilter(this);
    }
    switch (field) {
    case fiFREQ:
        FillComboBoxFloatRange(box, BandLow, 0, 27);
        break;
    case fiPWR:
        FillComboBoxFloat(box, PowerPresets);
        break;
    case fiMODE:
        FillComboBoxRange(box, ModeNames, 1, ModeCount - 1);
        break;
    case fiQSLO:
        FillComboBox(box, QslSentNames);
        break;
    case fiQSLP:
        FillComboBox(box, QslRcvdNames);
        break;
    case fiEQSLP:
        FillComboBox(box, EQslNames);
        break;
    default:
        box->setEditText(QString());
        break;
    }
    box->update();
}

bool TfrmEditSelQSOs::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == cbBoxValue || watched == cbBoxValue->lineEdit())) {
        auto *key = static_cast<QKeyEvent *>(event);
        // Enter alone does nothing here: only Ctrl+Enter saves.
        if (isEnter(key) && !(key->modifiers() & Qt::ControlModifier))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

// The QSO window's checks of the chosen field: a value it would refuse is never stored in
// many QSOs at once.
bool TfrmEditSelQSOs::checkValue()
{
    const QString value = cbBoxValue->currentText();
    switch (SelectedField()) {
    case fiDAT:
        return CheckDate(value, cbBoxValue);
    case fiUTC:
        return CheckTime(value, cbBoxValue);
    case fiFREQ:
        return CheckFreq(value, cbBoxValue);
    case fiLOCO:
        if (!CheckLocator(value, cbBoxValue))
            return false;
        if (value.isEmpty()) {
            MessageDlgDef(MsgLocatorRequired, mtError, mbOK, mrOk);
            FocusControl(cbBoxValue);
            return false;
        }
        return true;
    case fiLOCP:
        return CheckLocator(value, cbBoxValue);
    case fiDXCC:
        return CheckDXCC(value, cbBoxValue);
    case fiIOTA:
        return CheckIOTA(value, cbBoxValue);
    case fiITU:
        return CheckITU(value, cbBoxValue);
    case fiWAZ:
        return CheckWAZ(value, cbBoxValue);
    case fiPWR:
        return CheckPower(value, cbBoxValue);
    default:
        return true;
    }
}

void TfrmEditSelQSOs::actSaveExecute()
{
    if (checkValue())
        done(mrOk);
}

void TfrmEditSelQSOs::actCloseExecute()
{
    done(mrCancel);
}

void TfrmEditSelQSOs::reject()
{
    actCloseExecute();
}

void TfrmEditSelQSOs::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    setFixedSize(sizeHint());
    CentreOnOwner(this, m_mainWindow);
    cbBoxValue->setFocus(Qt::OtherFocusReason);
}

void TfrmEditSelQSOs::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    MinimizeProgramInstead(this, event, m_mainWindow);
}

#include "QSOWindow.h"

#include "radio/Amater.h"
#include "ComboFill.h"
#include "DateEdit.h"
#include "log/DmLog.h"
#include "radio/DxccList.h"
#include "FilteredLineEdit.h"
#include "FloatComboBox.h"
#include "system/HelpViewer.h"
#include "base/Formats.h"
#include "IOTAEdit.h"
#include "radio/KeyFilters.h"
#include "system/LocalEndpoint.h"
#include "LocatorEdit.h"
#include "LogGrid.h"
#include "base/Messages.h"
#include "MinimizeProgram.h"
#include "base/OstrelFP.h"
#include "PreviousQsoModel.h"
#include "log/QsoLookup.h"
#include "ReportEdit.h"
#include "TimeEdit.h"
#include "system/UtcClock.h"
#include "base/VelkorError.h"
#include "WindowCommands.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <utility>

std::function<void(TfrmQSO &)> TfrmQSO::CallBookHandler;
std::function<void(TfrmQSO &)> TfrmQSO::DxccListHandler;
std::function<void(TfrmQSO &)> TfrmQSO::IotaListHandler;

namespace {

// Background of the fields that quick entry stops at.
const QColor QuickStopBackground{0xFF, 0xFF, 0xCC};
const QColor FieldBackground{0xFF, 0xFF, 0xFF};

// Tab orders that quick entry never touches: the call sign is always a stop, QSLp and
// eQSL are never one.
constexpr int CallBit = 0;
constexpr int QslpBit = 15;
constexpr int EqslBit = 16;

bool isQuickMaskBit(int bit)
{
    return bit != CallBit && bit != QslpBit && bit != EqslBit;
}

} // namespace

TfrmQSO::TfrmQSO(int mode, const TQsoWindowContext &context, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint),
      m_mode(mode), m_context(context)
{
    setObjectName(QStringLiteral("frmQSO"));
    setWindowTitle(QStringLiteral("Spojení"));
    QFont windowFont(QStringLiteral("Tahoma"));
    windowFont.setPointSize(8);
    setFont(windowFont);

    qPred = new LogQuery(this);
    qPred->setObjectName(QStringLiteral("qPred"));
    m_predModel = new PreviousQsoModel(qPred, this);
    connect(qPred, &LogQuery::readFailed, this,
            [](const QString &message) { MessageDlgDef(message, mtError, mbOK, mrOk); });

    createActions();
    createLayout();
    createPopupMenu();
    setTabOrders();

    tmClock = new QTimer(this);
    tmClock->setObjectName(QStringLiteral("tmClock"));
    tmClock->setInterval(100);
    connect(tmClock, &QTimer::timeout, this, &TfrmQSO::tmClockTimer);
    connect(qApp, &QApplication::focusChanged, this, &TfrmQSO::focusChanged);

    FormCreate();

    // Other programs find the window by its name; only a new QSO takes their call sign.
    m_endpoint = new TLocalEndpoint(this);
    if (m_endpoint->listen(QString::fromLatin1(EndpointName)) && m_mode == qmNew)
        connect(m_endpoint, &TLocalEndpoint::copyToLogReceived, this, &TfrmQSO::WMCopyData);
}

TfrmQSO::~TfrmQSO()
{
    // The children are destroyed after this body; focus moves among them must no longer
    // reach the exit handlers.
    disconnect(qApp, &QApplication::focusChanged, this, &TfrmQSO::focusChanged);
    FormDestroy();
}

// ---------------------------------------------------------------------------------------
// Life of the window

void TfrmQSO::FormCreate()
{
    TUserOptions &options = m_context.dm->UserOptions;

    dbgLastQSO->setFont(QFont(options.GetExtendedFont() ? QStringLiteral("Tahoma") : QStringLiteral("MS Sans Serif"), 8));
    sizeLastQsoColumns();

    FLookInLog = options.GetLookInLog();
    FLookInCB = options.GetLookInCB();
    FRefreshLog = options.GetRefreshLog();
    FNameUpCase = options.GetNameUpCase();
    FQuickMask = quint32(options.GetQuickQSOs());

    QStringList freqs;
    options.GetFreqs(freqs);
    cbFreq->clear();
    cbFreq->addItems(freqs);
    cbFreq->setCurrentIndex(options.GetFreq() < freqs.size() ? options.GetFreq() : -1);
    cbFreq->SetFormat(QStringLiteral("0.####"));
    setBandLabel();

    QStringList modes;
    options.GetModes(modes);
    cbMode->clear();
    cbMode->addItems(modes);
    cbMode->setCurrentIndex(options.GetMode() < modes.size() ? options.GetMode() : -1);

    edtRSTo->setText(options.GetRSTo());
    edtRSTp->setText(options.GetRSTp());

    FillComboBox(cbQSLo, QslSentNames);
    cbQSLo->setCurrentIndex(options.GetQSLo());
    FillComboBox(cbQSLp, QslRcvdNames);
    cbQSLp->setCurrentIndex(options.GetQSLp());
    FillComboBox(cbEQSL, EQslNames);

    edtLOCo->setText(options.GetLocator());

    FillComboBoxFloat(cbPWR, PowerPresets);
    cbPWR->setEditText(Formats::floatToStr(options.GetPower()));
    cbPWR->SetFormat(QStringLiteral("0.####"));

    ClearForm();

    connect(m_context.dxccList, &TDxccList::OnChange, this, &TfrmQSO::OnDxccChange);
    m_context.dxccList->SetFound(false);

    switch (m_mode) {
    case qmNew:
        if (FLookInCB)
            qCallBook = std::make_unique<TCallBookLookup>(m_context.dm->AppDir);
        FLastCall = QStringLiteral("-");
        FLastDxcc = QStringLiteral("-");
        SetReadOnly(false);
        break;
    default:
        LoadFromLog();
        m_context.dxccList->FindDxcc(edtDXCC->text());
        ShowPreviousQSOs();
        ShowDistanceAzimuth();
        SetReadOnly(m_mode == qmView);
        break;
    }

    FSessionList.clear();
    FModified = false;
    FRefreshNeeded = false;
    tmClockTimer();
    tmClock->start();
}

void TfrmQSO::FormShow()
{
    QWidget *first = m_mode == qmNew ? static_cast<QWidget *>(edtCall) : btnZavrit;
    first->setFocus(Qt::OtherFocusReason);
    FLastControl = first;
}

void TfrmQSO::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    setFixedSize(sizeHint());
    CentreOnOwner(this, m_context.mainWindow);
    FormShow();
}

bool TfrmQSO::FormCloseQuery()
{
    if (!FModified || m_mode == qmView)
        return true;
    if (m_mode == qmNew)
        return MessageDlgDef(QStringLiteral("Aktuální spojení nebude uloženo.\rChcete pokračovat?"), mtConfirmation,
                             mbYes | mbNo, mrNo)
               == mrYes;
    const int answer =
        MessageDlgDef(QStringLiteral("Chcete uložit změny?"), mtConfirmation, mbYes | mbNo | mbCancel, mrYes);
    if (answer == mrYes) {
        // A refused check has shown its message and the window closes all the same; only
        // a QSO that could not be written keeps it open, so nothing typed is lost.
        return SaveQSO() != TSaveResult::NotWritten;
    }
    return answer == mrNo;
}

void TfrmQSO::reject()
{
    close();
}

void TfrmQSO::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    tmClock->stop();
    event->accept();
    QDialog::done(mrCancel);
}

void TfrmQSO::FormDestroy()
{
    tmClock->stop();
    qCallBook.reset();
    disconnect(m_context.dxccList, &TDxccList::OnChange, this, &TfrmQSO::OnDxccChange);
    if (FRefreshNeeded)
        refreshMainLog(true, m_mode == qmEdit);
    m_context.dm->UserOptions.SetQuickQSOs(int(FQuickMask));
}

// The main window shows the log again. The QSO is written by then, so a failure is only
// shown: it must not escape a command, nor this window's destruction, where it would end
// the program.
void TfrmQSO::refreshMainLog(bool showProgress, bool keepPosition)
{
    const QList<qint64> written = std::exchange(m_writtenIds, {});
    const bool known = std::exchange(m_writtenKnown, true);
    try {
        if (m_context.refreshWritten && known)
            m_context.refreshWritten(written, showProgress, keepPosition);
        else if (m_context.refreshLog)
            m_context.refreshLog(showProgress, keepPosition);
    } catch (const EVelkorError &error) {
        MessageDlgDef(error.message(), mtError, mbOK, mrOk);
    }
}

void TfrmQSO::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    MinimizeProgramInstead(this, event, m_context.mainWindow);
}

void TfrmQSO::bringForward()
{
    if (QWidget *main = m_context.mainWindow) {
        if (main->isMinimized())
            main->showNormal();
        main->raise();
        main->activateWindow();
    }
    raise();
    activateWindow();
}

// ---------------------------------------------------------------------------------------
// Operations

void TfrmQSO::ClearForm()
{
    for (QLineEdit *edit : std::initializer_list<QLineEdit *>{edtCall, edtName, edtQTH, edtLOCp, edtDXCC, edtITU,
                                                              edtWAZ, edtIOTA, edtAward, edtQSLmgr})
        edit->clear();
    if (!FLockNote)
        edtNote->clear();
    if (!FOfflineTime) {
        edtTime->clear();
        edtDate->clear();
    }
    lblNovaZeme->setEnabled(false);
    lblPseQsl->setEnabled(false);
    m_context.dxccList->SetFound(false);
    lblDistance->clear();
    lblAzimuth->clear();
    lblDxccTime->clear();
    if (qPred->Active())
        qPred->Close();
    if (m_mode == qmNew)
        FModified = false;
    FLastCall = QStringLiteral("-");
    FLastDxcc = QStringLiteral("-");
}

void TfrmQSO::LoadFromLog()
{
    const TLogRecord record = m_context.mainQuery->Record();
    m_editId = record.id();
    auto text = [&record](int field) { return LogValueAsString(field, record[field]); };

    edtCall->setText(text(fiCALL));
    cbFreq->setEditText(record.isEmpty(fiFREQ) ? QString()
                                               : Formats::formatFloat(QStringLiteral("0.####"), record[fiFREQ].toDouble()));
    const int mode = record[fiMODE].toInt();
    const QString modeName = mode >= 0 && mode < ModeCount ? ModeNames[mode] : QString::number(mode);
    int position = cbMode->findText(modeName, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (position < 0) {
        cbMode->addItem(modeName);
        position = cbMode->count() - 1;
    }
    cbMode->setCurrentIndex(position);
    edtRSTo->setText(text(fiRSTO));
    edtRSTp->setText(text(fiRSTP));
    edtName->setText(text(fiNAME));
    edtQTH->setText(text(fiQTH));
    edtLOCp->setText(text(fiLOCP));
    edtIOTA->setText(text(fiIOTA));
    edtAward->setText(text(fiAWARD));
    edtQSLmgr->setText(text(fiQSLVIA));
    cbQSLo->setCurrentIndex(record[fiQSLO].toInt());
    cbQSLp->setCurrentIndex(record[fiQSLP].toInt());
    cbEQSL->setCurrentIndex(record[fiEQSLP].toInt());
    edtNote->setText(text(fiNOTE));
    edtTime->setText(record.isEmpty(fiUTC) ? QString()
                                           : Formats::formatTime(QStringLiteral("hh:nn:ss"), record[fiUTC].toTime()));
    edtDate->setText(record.isEmpty(fiDAT) ? QString()
                                           : Formats::formatDate(QStringLiteral("dd.mm.yyyy"), record[fiDAT].toDate()));
    cbPWR->setEditText(text(fiPWR));
    edtLOCo->setText(text(fiLOCO));
    edtDXCC->setText(text(fiDXCC));
    edtITU->setText(text(fiITU));
    edtWAZ->setText(text(fiWAZ));

    FLastCall = edtCall->text();
    FLastDxcc = edtDXCC->text();
    setBandLabel();
}

void TfrmQSO::SetReadOnly(bool value)
{
    grpBoxSpojeni->setEnabled(!value);
    grpBoxVlastni->setEnabled(!value);
    grpBoxVolby->setEnabled(!value);
    for (QAction *action : {actSave, actClearForm, actInsertDateTime, actPasmoUp, actPasmoDown, actModUp, actModDown,
                            actSkipQuickQSO, actCopy, actPaste})
        action->setEnabled(!value);
}

void TfrmQSO::SetQuickQSO(bool value)
{
    FQuickQSO = value;
    for (int bit = 0; bit < QuickFieldCount; ++bit) {
        if (!isQuickMaskBit(bit))
            continue;
        QWidget *field = m_fields[bit];
        const bool stop = !value || (FQuickMask & (1u << bit));
        field->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
        setFieldBackground(field, value && stop ? QuickStopBackground : FieldBackground);
    }
    edtCall->setFocusPolicy(Qt::StrongFocus);
    setFieldBackground(edtCall, value ? QuickStopBackground : FieldBackground);
    cbFreq->lineEdit()->deselect();
}

void TfrmQSO::setFieldBackground(QWidget *field, const QColor &colour)
{
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, colour);
    if (qobject_cast<QComboBox *>(field))
        palette.setColor(QPalette::Button, colour);
    field->setPalette(palette);
}

void TfrmQSO::SetOfflineTime(bool value)
{
    FOfflineTime = value;
    chOffline->setChecked(value);
}

void TfrmQSO::OnDxccChange()
{
    const TDxccList &list = *m_context.dxccList;
    if (list.Found()) {
        lblDxccDXCC->setText(list.GetDxcc());
        lblDxccName->setText(list.GetName());
        lblDxccLatitude->setText(DegToDMS(true, list.GetLatitude()));
        lblDxccLongitude->setText(DegToDMS(false, list.GetLongitude()));
        lblDxccCont->setText(list.GetContinentName());
    } else {
        for (QLabel *label : {lblDxccDXCC, lblDxccName, lblDxccLatitude, lblDxccLongitude, lblDxccCont})
            label->clear();
    }
}

void TfrmQSO::WMCopyData(const TCopyToLogData &data)
{
    if (m_mode != qmNew)
        return;
    edtCall->setText(data.Call.toUpper());
    cbFreq->setEditText(Formats::formatFloat(QStringLiteral("0.####"), data.Freq));
    bringForward();
}

void TfrmQSO::tmClockTimer()
{
    const QTime now = UTCTime();
    lblClockTime->setText(Formats::formatTime(QStringLiteral("hh:nn:ss"), now));
    lblClockDate->setText(Formats::formatDate(QStringLiteral("dd.mm.yyyy"), UTCDate()));
    const TDxccList &list = *m_context.dxccList;
    if (list.Found())
        lblDxccTime->setText(Formats::formatTime(QStringLiteral("hh:nn:ss"), DxLocalTime(now, list.GetUtcOffset())));
    else
        lblDxccTime->clear();
}

void TfrmQSO::setBandLabel()
{
    bool ok = false;
    const QString text = BandLabelText(cbFreq->currentText(), &ok);
    if (ok)
        lblBand->setText(text);
}

// ---------------------------------------------------------------------------------------
// Commands

void TfrmQSO::actClearFormExecute()
{
    ClearForm();
    edtCall->setFocus(Qt::OtherFocusReason);
}

void TfrmQSO::actInsertDateTimeExecute()
{
    if (!edtCall->text().isEmpty())
        InsertDateTime();
}

void TfrmQSO::stepPreset(QComboBox *box, bool next)
{
    const int count = box->count();
    if (count == 0)
        return;
    // A typed value that is none of the presets counts as no selection.
    const int position = box->isEditable() ? box->findText(box->currentText(), Qt::MatchFixedString | Qt::MatchCaseSensitive)
                                           : box->currentIndex();
    int target;
    if (next)
        target = position + 1 >= count ? 0 : position + 1;
    else
        target = position <= 0 ? count - 1 : position - 1;
    m_stepping = true;
    box->setCurrentIndex(target);
    if (box->isEditable())
        box->setEditText(box->itemText(target));
    m_stepping = false;
}

void TfrmQSO::actSkipQuickQSOExecute()
{
    const int bit = int(std::find(m_fields.begin(), m_fields.end(), m_popupControl) - m_fields.begin());
    if (bit >= QuickFieldCount || !isQuickMaskBit(bit))
        return;
    FQuickMask ^= 1u << bit;
    SetQuickQSO(chQuickQSO->isChecked());
}

// The field of a clipboard command: the one whose menu is open, else the focused one; a
// combo box stands for its edit line. Null when that is no edit field.
QLineEdit *TfrmQSO::clipboardField() const
{
    QWidget *control = m_popupControl ? m_popupControl : focusWidget();
    if (auto *box = qobject_cast<QComboBox *>(control); box && box->lineEdit())
        return box->lineEdit();
    return qobject_cast<QLineEdit *>(control);
}

void TfrmQSO::actCopyExecute()
{
    if (QLineEdit *edit = clipboardField())
        edit->copy();
}

void TfrmQSO::actPasteExecute()
{
    QLineEdit *edit = clipboardField();
    // The filtered fields take only what they could take typed.
    if (auto *filtered = qobject_cast<TFilteredLineEdit *>(edit))
        filtered->pasteFiltered();
    else if (edit)
        edit->paste();
}

void TfrmQSO::actHelpExecute()
{
    // The QSO window's page is found by its keyword, the window's name.
    HelpViewer::SetAppDir(m_context.dm->AppDir);
    HelpViewer::ShowKeyword(QStringLiteral("frmQSO"));
}

void TfrmQSO::checkBoxClicked(QCheckBox *box)
{
    if (box == chQuickQSO)
        SetQuickQSO(box->isChecked());
    else if (box == chLockNote)
        FLockNote = box->isChecked();
    else if (box == chOffline)
        SetOfflineTime(box->isChecked());
    if (isVisible() && FLastControl)
        FLastControl->setFocus(Qt::OtherFocusReason);
}

QMenu *TfrmQSO::PopupMenuFor(QWidget *control)
{
    m_popupControl = control;
    const int bit = int(std::find(m_fields.begin(), m_fields.end(), control) - m_fields.begin());
    const bool inMask = bit < QuickFieldCount && isQuickMaskBit(bit);
    actSkipQuickQSO->setEnabled(control != edtCall && grpBoxSpojeni->isEnabled());
    actSkipQuickQSO->setChecked(inMask && !(FQuickMask & (1u << bit)));
    return pmField;
}

void TfrmQSO::showPopup(QWidget *control, const QPoint &globalPos)
{
    PopupMenuFor(control)->exec(globalPos);
    m_popupControl = nullptr;
}

void TfrmQSO::fieldChanged()
{
    if (!m_stepping)
        FModified = true;
}

// ---------------------------------------------------------------------------------------
// Keys and mouse

QWidget *TfrmQSO::fieldOf(QObject *object) const
{
    auto *widget = qobject_cast<QWidget *>(object);
    // The line edit inside an editable box stands for the box.
    if (widget && !isField(widget) && widget->parentWidget() && isField(widget->parentWidget()))
        return widget->parentWidget();
    return widget && isField(widget) ? widget : nullptr;
}

bool TfrmQSO::isField(QWidget *widget) const
{
    return m_modifyingFields.contains(widget);
}

bool TfrmQSO::eventFilter(QObject *watched, QEvent *event)
{
    if (auto *label = qobject_cast<QLabel *>(watched); label && (label == lblCall || label == lblIOTA || label == lblDXCC)) {
        linkLabelEvent(label, event);
        return false;
    }
    if (watched == btnSave && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        // Only Enter or a click presses the save button.
        return static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space;
    }
    QWidget *field = fieldOf(watched);
    if (!field)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress)
        return fieldKeyPress(field, static_cast<QKeyEvent *>(event));
    if (event->type() == QEvent::FocusIn && (field == edtTime || field == edtDate)) {
        // After the click that focused it has placed the caret.
        QTimer::singleShot(0, field, [edit = static_cast<QLineEdit *>(field)] { edit->selectAll(); });
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmQSO::fieldKeyPress(QWidget *field, QKeyEvent *event)
{
    auto *box = qobject_cast<QComboBox *>(field);
    // The plain drop-down lists and the number boxes; not any other kind of box.
    const bool isBox = box && (box->metaObject() == &QComboBox::staticMetaObject
                               || box->metaObject() == &TFloatComboBox::staticMetaObject);
    const bool listOpen = isBox && box->view()->isVisible();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool callEmpty = field == edtCall && edtCall->text().isEmpty();
    if (mods & (Qt::ControlModifier | Qt::AltModifier))
        return false;

    switch (event->key()) {
    case Qt::Key_Space:
        if (!isBox)
            return false;
        if (listOpen)
            box->hidePopup();
        else
            box->showPopup();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (listOpen)
            box->hidePopup();
        if (!callEmpty)
            focusNextPrevChild(true);
        return true;
    case Qt::Key_Down:
        if (listOpen)
            return false;
        if (!callEmpty)
            focusNextPrevChild(true);
        return true;
    case Qt::Key_Up:
        if (listOpen)
            return false;
        focusNextPrevChild(false);
        return true;
    default:
        return false;
    }
}

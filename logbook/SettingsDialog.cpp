#include "SettingsDialog.h"
#include "ui_SettingsDialog.h"

#include "radio/Amater.h"
#include "ComboBoxDialog.h"
#include "ComboFill.h"
#include "base/DatabaseError.h"
#include "log/DmLog.h"
#include "FileDialogs.h"
#include "base/Formats.h"
#include "settings/IniFile.h"
#include "radio/Kontrola.h"
#include "settings/LogOptions.h"
#include "log/LogRegistry.h"
#include "base/Messages.h"
#include "base/MessageTexts.h"
#include "MinimizeProgram.h"
#include "settings/PasswordScramble.h"
#include "radio/PresetLists.h"
#include "settings/UserOptions.h"
#include "VkrConsts.h"
#include "log/VkrDatabase.h"
#include "WindowCommands.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>

const QString TfrmOptions::StoredPasswordMask = QStringLiteral("*********");

namespace {

const std::array<QString, 2> BackUpIntervals{QStringLiteral("Týdně"), QStringLiteral("Měsíčně")};

// A button shows the caption and hint of its action, follows its enabled state and
// triggers it when clicked.
void bindButton(QPushButton *button, QAction *action)
{
    auto sync = [button, action] {
        button->setText(action->text());
        button->setToolTip(action->toolTip());
        button->setEnabled(action->isEnabled());
    };
    sync();
    QObject::connect(action, &QAction::changed, button, sync);
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
}

// The mark of a list's default entry, drawn before its number.
QIcon defaultMarkIcon(bool marked)
{
    QPixmap pixmap(10, 10);
    pixmap.fill(Qt::transparent);
    if (marked) {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 128, 0));
        const QPointF arrow[3] = {{1, 0}, {10, 5}, {1, 10}};
        painter.drawPolygon(arrow, 3);
    }
    return QIcon(pixmap);
}

} // namespace

TfrmOptions::TfrmOptions(TdmLog &dm, bool editUser, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmOptions>()), m_dm(dm), FEditUser(editUser)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setupActions();
    FormCreate();
}

TfrmOptions::~TfrmOptions() = default;

void TfrmOptions::setupActions()
{
    actSave =
        MakeWindowAction(this, "actSave", QStringLiteral("Uložit"), QStringLiteral("Uložit nastavení uživatele"));
    actCancel = MakeWindowAction(this, "actCancel", QStringLiteral("Zrušit"), QStringLiteral("Zavřít formulář"));
    actHelp = MakeWindowAction(this, "actHelp", QStringLiteral("Nápověda"), QString(), {QKeySequence(Qt::Key_F1)});
    connect(actSave, &QAction::triggered, this, &TfrmOptions::actSaveExecute);
    connect(actCancel, &QAction::triggered, this, &TfrmOptions::actCancelExecute);
    connect(actHelp, &QAction::triggered, this, &TfrmOptions::actHelpExecute);
    bindButton(ui->btnOk, actSave);
    bindButton(ui->btnZrusit, actCancel);

    connect(ui->chSyncTime, &QCheckBox::toggled, this, &TfrmOptions::chSyncTimeClick);
    connect(ui->btnBackUpDir, &QToolButton::clicked, this, &TfrmOptions::btnBackUpDirClick);

    connect(ui->btnModeAdd, &QPushButton::clicked, this, &TfrmOptions::btnModeAddClick);
    connect(ui->btnModeDel, &QPushButton::clicked, this, &TfrmOptions::btnModeDelClick);
    connect(ui->btnModeDef, &QPushButton::clicked, this, &TfrmOptions::btnModeDefClick);
    connect(ui->btnModeUp, &QPushButton::clicked, this, &TfrmOptions::btnModeUpClick);
    connect(ui->btnModeDown, &QPushButton::clicked, this, &TfrmOptions::btnModeDownClick);
    connect(ui->btnFreqAdd, &QPushButton::clicked, this, &TfrmOptions::btnFreqAddClick);
    connect(ui->btnFreqDel, &QPushButton::clicked, this, &TfrmOptions::btnFreqDelClick);
    connect(ui->btnFreqDef, &QPushButton::clicked, this, &TfrmOptions::btnFreqDefClick);
    connect(ui->btnFreqUp, &QPushButton::clicked, this, &TfrmOptions::btnFreqUpClick);
    connect(ui->btnFreqDown, &QPushButton::clicked, this, &TfrmOptions::btnFreqDownClick);
}

void TfrmOptions::setupGrid(QTableWidget *grid, const QStringList &titles, const QList<int> &widths)
{
    grid->setColumnCount(titles.size());
    grid->setHorizontalHeaderLabels(titles);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setIconSize(QSize(10, 10));
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    int total = 0;
    for (int c = 0; c < widths.size(); ++c) {
        grid->setColumnWidth(c, widths[c]);
        total += widths[c];
    }
    grid->setFixedWidth(total + grid->verticalScrollBar()->sizeHint().width() + 2 * grid->frameWidth());
    grid->setMinimumHeight(12 * grid->verticalHeader()->defaultSectionSize());
}

void TfrmOptions::FormCreate()
{
    FDefMode = 0;
    FDefFreq = 0;
    // Every page caption stays in view; the dialog is as wide as they need.
    ui->pgConNastav->setUsesScrollButtons(false);
    // The index column holds the default mark before the number, hence wider than 40.
    setupGrid(ui->dGrdMode, {QStringLiteral("Index"), QStringLiteral("Mód")}, {52, 256});
    setupGrid(ui->dGrdFreq, {QStringLiteral("Index"), QStringLiteral("Frekvence"), QStringLiteral("Pásmo")},
              {52, 126, 129});

    FillComboBox(ui->cbNTPServer, NtpServerNames);
    FillComboBoxFloat(ui->cbPWR, PowerPresets);
    FillComboBox(ui->cbQSLo, QslSentNames);
    FillComboBox(ui->cbQSLp, QslRcvdNames);
    FillComboBox(ui->cbDateFormat, DateFormats);
    FillComboBox(ui->cbTimeFormat, TimeFormats);
    FillComboBox(ui->cbFreqFormat, FreqFormats);
    FillComboBox(ui->cbBackUp, BackUpIntervals);
    ui->cbBackUp->setCurrentIndex(1);

    ui->edtCall->setKeyFilter([](QChar &key) {
        // Letters and digits only: the call sign names the log's files.
        key = key.toUpper();
        if (!((key >= u'0' && key <= u'9') || (key >= u'A' && key <= u'Z')))
            key = QChar();
    });
    ui->edtRSTo->setText(QStringLiteral("599"));
    ui->edtRSTp->setText(QStringLiteral("599"));
    ui->cbPWR->setCurrentText(QStringLiteral("100"));
    ui->edtBackUpPath->setText(m_dm.AppDir + QStringLiteral("Zaloha/"));
    ui->edtWendraHost->setText(DefaultClusterHost);
    ui->edtWendraPwd->setMaxLength(MaxPasswordLength);

    if (FEditUser) {
        FOptions = &m_dm.UserOptions;
        LoadOptions();
        ui->edtCall->setEnabled(false);
    } else {
        m_ownOptions = std::make_unique<TUserOptions>();
        FOptions = m_ownOptions.get();
        FFreqs = DefaultPresetFreqs();
        FModes = DefaultPresetModes();
        ui->cbNTPServer->setEnabled(false);
    }
    refreshModeGrid();
    refreshFreqGrid();
    ui->dGrdMode->setCurrentCell(0, 0);
    ui->dGrdFreq->setCurrentCell(0, 0);
    ui->pgConNastav->setCurrentIndex(0);
}

void TfrmOptions::LoadOptions()
{
    const TUserOptions &o = *FOptions;
    ui->edtCall->setText(o.Call);
    ui->edtLoc->setText(o.GetLocator());
    ui->chSyncTime->setChecked(o.GetNTPSync());
    ui->cbNTPServer->setEnabled(o.GetNTPSync());
    ui->cbNTPServer->setCurrentText(o.GetNTPServer());

    ui->edtRSTo->setText(o.GetRSTo());
    ui->edtRSTp->setText(o.GetRSTp());
    ui->cbPWR->setCurrentText(Formats::floatToStr(o.GetPower()));
    ui->cbQSLo->setCurrentIndex(o.GetQSLo());
    ui->cbQSLp->setCurrentIndex(o.GetQSLp());
    ui->chRefreshLog->setChecked(o.GetRefreshLog());
    ui->chLookInLog->setChecked(o.GetLookInLog());
    ui->chLookInCB->setChecked(o.GetLookInCB());
    ui->chNameUpCase->setChecked(o.GetNameUpCase());

    o.GetModeArray(FModes);
    FDefMode = o.GetMode();
    FFreqs.clear();
    o.GetFreqArray(FFreqs);
    FDefFreq = o.GetFreq();
    // A default position that points past its list would leave no entry marked.
    FDefMode = PresetDefault(FDefMode, FModes.size());
    FDefFreq = PresetDefault(FDefFreq, FFreqs.size());

    ui->cbDateFormat->setCurrentIndex(o.GetDateFormat());
    ui->cbTimeFormat->setCurrentIndex(o.GetTimeFormat());
    ui->cbFreqFormat->setCurrentIndex(o.GetFreqFormat());
    ui->chExtendedFont->setChecked(o.GetExtendedFont());

    ui->edtWendraHost->setText(o.GetClusterHost());
    ui->spEdtWendraPort->setValue(o.GetClusterPort());
    // The stored password never goes into the control; the mask stands for it.
    ui->edtWendraPwd->setText(o.GetClusterPassword().isEmpty() ? QString() : StoredPasswordMask);

    ui->chBackUp->setChecked(o.GetBackUpEnabled());
    ui->cbBackUp->setCurrentIndex(o.GetBackUpInterval());
    ui->edtBackUpPath->setText(o.GetBackUpPath());
}

void TfrmOptions::SaveOptions()
{
    TUserOptions &o = *FOptions;
    o.SetLocator(ui->edtLoc->text());
    o.SetNTPSync(ui->chSyncTime->isChecked());
    o.SetNTPServer(ui->cbNTPServer->currentText());
    o.SetDateFormat(ui->cbDateFormat->currentIndex());
    o.SetTimeFormat(ui->cbTimeFormat->currentIndex());
    o.SetFreqFormat(ui->cbFreqFormat->currentIndex());
    o.SetExtendedFont(ui->chExtendedFont->isChecked());
    o.SetRSTo(ui->edtRSTo->text());
    o.SetRSTp(ui->edtRSTp->text());
    o.SetPower(ui->cbPWR->Value());
    o.SetQSLo(ui->cbQSLo->currentIndex());
    o.SetQSLp(ui->cbQSLp->currentIndex());
    o.SetRefreshLog(ui->chRefreshLog->isChecked());
    o.SetLookInLog(ui->chLookInLog->isChecked());
    o.SetLookInCB(ui->chLookInCB->isChecked());
    o.SetNameUpCase(ui->chNameUpCase->isChecked());
    o.SetFreq(FDefFreq);
    o.SetFreqs(FFreqs);
    o.SetMode(FDefMode);
    o.SetModes(FModes);
    o.SetBackUpEnabled(ui->chBackUp->isChecked());
    o.SetBackUpInterval(ui->cbBackUp->currentIndex());
    o.SetBackUpPath(ui->edtBackUpPath->text());
    o.SetClusterHost(ui->edtWendraHost->text());
    o.SetClusterPort(ui->spEdtWendraPort->value());
    // An untouched mask keeps the stored password; an emptied field clears it.
    if (ui->edtWendraPwd->text() != StoredPasswordMask)
        o.SetClusterPassword(ui->edtWendraPwd->text());
}

// The complete settings of a new operator, including the parts nobody edits here.
void TfrmOptions::writeNewUserSettings(TUserOptions &o)
{
    o.SetCall(ui->edtCall->text());
    o.SetLocator(ui->edtLoc->text());
    o.SetNTPSync(ui->chSyncTime->isChecked());
    o.SetNTPServer(ui->cbNTPServer->currentText());
    o.SetDateFormat(ui->cbDateFormat->currentIndex());
    o.SetTimeFormat(ui->cbTimeFormat->currentIndex());
    o.SetFreqFormat(ui->cbFreqFormat->currentIndex());
    o.SetExtendedFont(ui->chExtendedFont->isChecked());
    o.SetRSTo(ui->edtRSTo->text());
    o.SetRSTp(ui->edtRSTp->text());
    o.SetPower(ui->cbPWR->Value());
    o.SetQSLo(ui->cbQSLo->currentIndex());
    o.SetQSLp(ui->cbQSLp->currentIndex());
    o.SetRefreshLog(ui->chRefreshLog->isChecked());
    o.SetLookInLog(ui->chLookInLog->isChecked());
    o.SetLookInCB(ui->chLookInCB->isChecked());
    o.SetNameUpCase(ui->chNameUpCase->isChecked());
    // The file keeps its keys in the order they are first written, as the settings of
    // a new operator have always been laid out.
    o.SetQuickQSOs(0);
    o.SetFreq(FDefFreq);
    o.SetFreqs(FFreqs);
    o.SetMode(FDefMode);
    o.SetModes(FModes);
    o.SetBackUpEnabled(ui->chBackUp->isChecked());
    o.SetBackUpInterval(ui->cbBackUp->currentIndex());
    o.SetBackUpPath(ui->edtBackUpPath->text());
    o.SetBackUpLast(QDate::currentDate());
    o.SetClusterHost(ui->edtWendraHost->text());
    o.SetClusterPort(ui->spEdtWendraPort->value());
    const QString password = ui->edtWendraPwd->text();
    o.SetClusterPassword(password == StoredPasswordMask ? QString() : password);

    const QScreen *screen = QGuiApplication::primaryScreen();
    SetNewLogDefaults(o, ScreenWidthClass(screen ? screen->geometry().width() : 0), QDate::currentDate());
}

// Creates the operator: settings file, log table, then the slot in Velkor.ini. A step
// that fails is reported; what the earlier steps wrote is undone, so that no half-made
// log is left registered or lying in the data folder.
bool TfrmOptions::CreateUser()
{
    writeNewUserSettings(*FOptions);
    try {
        CreateLog(m_dm.LogOptions, m_dm.DataDir, *FOptions);
    } catch (const EVelkorError &e) {
        MessageDlgDef(e.message(), mtError, mbOK, mrOk);
        return false;
    }
    return true;
}

// The checks run in the order of the pages; each shows the page of its control, and a
// failed one leaves the dialog open with nothing written.
bool TfrmOptions::checkInput()
{
    ui->pgConNastav->setCurrentWidget(ui->tbSheetZaklad);
    ui->edtCall->setText(ui->edtCall->text().toUpper());
    const QString call = ui->edtCall->text();
    if (!CheckCall(call, ui->edtCall))
        return false;
    if (!FEditUser) {
        if (IsUserRegistered(m_dm.LogOptions, call)) {
            FocusControl(ui->edtCall);
            MessageDlgDef(QStringLiteral("Uživatel již existuje!"), mtError, mbOK, mrOk);
            return false;
        }
        if (FreeUserSlot(m_dm.LogOptions) < 0) {
            MessageDlgDef(MsgTooManyUsers, mtInformation, mbOK, mrOk);
            return false;
        }
    }
    if (ui->edtLoc->text().isEmpty()) {
        FocusControl(ui->edtLoc);
        MessageDlgDef(MsgLocatorRequired, mtError, mbOK, mrOk);
        return false;
    }
    if (!CheckLocator(ui->edtLoc->text(), ui->edtLoc))
        return false;

    ui->pgConNastav->setCurrentWidget(ui->tbSheetVl);
    if (!CheckPower(ui->cbPWR->currentText(), ui->cbPWR))
        return false;

    ui->pgConNastav->setCurrentWidget(ui->tbSheetMode);
    if (FModes.isEmpty()) {
        FocusControl(ui->dGrdMode);
        MessageDlgDef(QStringLiteral("Musí být zadán nejméně jeden mód!"), mtError, mbOK, mrOk);
        return false;
    }

    if (ui->chBackUp->isChecked()) {
        ui->pgConNastav->setCurrentWidget(ui->tbSheetRozs);
        const QString path = ui->edtBackUpPath->text();
        if (!QFileInfo(path).isDir()) {
            MessageDlgDef(path.isEmpty() ? QStringLiteral("Adresář musí být zadán!")
                                         : QStringLiteral("Adresář \"%1\" neexistuje!").arg(path),
                          mtError, mbOK, mrOk);
            FocusControl(ui->edtBackUpPath);
            return false;
        }
    }
    return true;
}

void TfrmOptions::actSaveExecute()
{
    if (!checkInput())
        return;
    if (FEditUser)
        SaveOptions();
    else if (!CreateUser())
        return;
    hide();
    done(mrOk);
}

void TfrmOptions::actCancelExecute()
{
    done(mrCancel);
}

void TfrmOptions::reject()
{
    actCancelExecute();
}

void TfrmOptions::actHelpExecute()
{
    ShowHelpTopic(m_dm.AppDir, objectName());
}

void TfrmOptions::changeEvent(QEvent *event)
{
    MinimizeProgramInstead(this, event, VisibleMainWindow());
    QDialog::changeEvent(event);
}

void TfrmOptions::chSyncTimeClick()
{
    ui->cbNTPServer->setEnabled(ui->chSyncTime->isChecked());
}

void TfrmOptions::btnBackUpDirClick()
{
    QString folder;
    if (SelectFolder(QStringLiteral("Vyberte adresář pro zálohy"), folder))
        ui->edtBackUpPath->setText(folder);
}

// ---- the preset mode list -------------------------------------------------------

namespace {

void selectPosition(QTableWidget *grid, int position)
{
    grid->setCurrentCell(position, 0);
}

// Fills a list grid: one row per entry, or one numbered row for an empty list; the
// default entry carries the mark and a bold face.
void fillGrid(QTableWidget *grid, const QList<QStringList> &rows, int defaultPosition)
{
    const int count = std::max<int>(rows.size(), 1);
    const int current = grid->currentRow();
    grid->setRowCount(count);
    for (int r = 0; r < count; ++r) {
        for (int c = 0; c < grid->columnCount(); ++c) {
            auto *item = new QTableWidgetItem;
            if (c == 0) {
                item->setText(QString::number(r + 1));
                item->setIcon(defaultMarkIcon(r == defaultPosition));
            } else if (r < rows.size()) {
                item->setText(rows[r].value(c - 1));
            }
            QFont font = grid->font();
            font.setBold(r == defaultPosition);
            item->setFont(font);
            grid->setItem(r, c, item);
        }
    }
    grid->setCurrentCell(std::clamp(current, 0, count - 1), 0);
}

// The buttons beside a preset list (modes, frequencies) other than Add, which differs.
enum class ListButton { Delete, MakeDefault, MoveUp, MoveDown };

// What one of those buttons does to the entry selected in `grid`: the lists differ only
// in their entries, so both share this; `refresh` shows the changed list again.
template <typename T, typename Refresh>
void applyListButton(ListButton button, QTableWidget *grid, QList<T> &list, int &defaultPosition,
                     Refresh refresh)
{
    const int p = grid->currentRow();
    switch (button) {
    case ListButton::Delete:
        if (PresetRemove(list, p, defaultPosition))
            refresh();
        return;
    case ListButton::MakeDefault:
        // An empty list still shows one numbered row, which can be made the default.
        if (p < 0)
            return;
        defaultPosition = p;
        refresh();
        return;
    case ListButton::MoveUp:
    case ListButton::MoveDown: {
        const int step = button == ListButton::MoveUp ? -1 : 1;
        if (!PresetMove(list, p, step, defaultPosition))
            return;
        refresh();
        selectPosition(grid, p + step);
        return;
    }
    }
}

} // namespace

void TfrmOptions::refreshModeGrid()
{
    QList<QStringList> rows;
    for (int mode : FModes)
        rows.append({ModeNames[mode]});
    fillGrid(ui->dGrdMode, rows, FDefMode);
}

void TfrmOptions::btnModeAddClick()
{
    TfrmComboBox pick(this);
    FillComboBoxRange(pick.ComboBox, ModeNames, 1, ModeCount - 1);
    if (pick.ShowModal(QStringLiteral("Nový mód"), QStringLiteral("Mód"), TfrmComboBox::csDropDownList) != mrOk
        || pick.ComboBox->currentIndex() < 0)
        return;
    const int position = PresetAdd(FModes, pick.ComboBox->currentIndex() + 1);
    refreshModeGrid();
    selectPosition(ui->dGrdMode, position);
}

void TfrmOptions::btnModeDelClick()
{
    applyListButton(ListButton::Delete, ui->dGrdMode, FModes, FDefMode, [this] { refreshModeGrid(); });
}

void TfrmOptions::btnModeDefClick()
{
    applyListButton(ListButton::MakeDefault, ui->dGrdMode, FModes, FDefMode, [this] { refreshModeGrid(); });
}

void TfrmOptions::btnModeUpClick()
{
    applyListButton(ListButton::MoveUp, ui->dGrdMode, FModes, FDefMode, [this] { refreshModeGrid(); });
}

void TfrmOptions::btnModeDownClick()
{
    applyListButton(ListButton::MoveDown, ui->dGrdMode, FModes, FDefMode, [this] { refreshModeGrid(); });
}

// ---- the preset frequency list --------------------------------------------------

void TfrmOptions::refreshFreqGrid()
{
    QList<QStringList> rows;
    for (double freq : FFreqs)
        rows.append({Formats::floatToStr(freq), BandNames[GetBandIndex(freq)]});
    fillGrid(ui->dGrdFreq, rows, FDefFreq);
}

void TfrmOptions::btnFreqAddClick()
{
    if (FFreqs.size() >= MaxPresetFreqs) {
        MessageDlgDef(QStringLiteral("Je povoleno maximálně %1 záznamů!").arg(MaxPresetFreqs), mtInformation, mbOK,
                      mrOk);
        return;
    }
    TfrmComboBox pick(this);
    FillComboBoxFloatRange(pick.ComboBox, BandLow, 0, MaxPresetFreqs - 1);
    if (pick.ShowModal(QStringLiteral("Nová frekvence"), QStringLiteral("Frekvence"), TfrmComboBox::csDropDown)
        != mrOk)
        return;
    const QString text = pick.ComboBox->currentText();
    const double value = PresetFrequency(text);
    if (value == 0) {
        ShowErrorAndFocus(MsgInvalidFrequency(text), ui->dGrdFreq);
        return;
    }
    const int position = PresetAdd(FFreqs, value);
    refreshFreqGrid();
    selectPosition(ui->dGrdFreq, position);
}

void TfrmOptions::btnFreqDelClick()
{
    applyListButton(ListButton::Delete, ui->dGrdFreq, FFreqs, FDefFreq, [this] { refreshFreqGrid(); });
}

void TfrmOptions::btnFreqDefClick()
{
    applyListButton(ListButton::MakeDefault, ui->dGrdFreq, FFreqs, FDefFreq, [this] { refreshFreqGrid(); });
}

void TfrmOptions::btnFreqUpClick()
{
    applyListButton(ListButton::MoveUp, ui->dGrdFreq, FFreqs, FDefFreq, [this] { refreshFreqGrid(); });
}

void TfrmOptions::btnFreqDownClick()
{
    applyListButton(ListButton::MoveDown, ui->dGrdFreq, FFreqs, FDefFreq, [this] { refreshFreqGrid(); });
}

void TfrmOptions::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    CentreOnOwner(this, parentWidget());
    // A new log starts with its call sign, typed at once.
    if (!FEditUser)
        ui->edtCall->setFocus();
}

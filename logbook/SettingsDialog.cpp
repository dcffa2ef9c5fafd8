#include "SettingsDialog.h"
#include "ui_SettingsDialog.h"

#include "Amater.h"
#include "ComboFill.h"
#include "DatabaseError.h"
#include "DmLog.h"
#include "FileDialogs.h"
#include "Formats.h"
#include "IniFile.h"
#include "Kontrola.h"
#include "LogOptions.h"
#include "Messages.h"
#include "MinimizeProgram.h"
#include "PasswordScramble.h"
#include "UserOptions.h"
#include "VkrConsts.h"
#include "VkrDatabase.h"
#include "WindowCommands.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

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

// Asks for one value from a list (the operator may type one when editable is set).
// Answers false when the operator cancels.
bool pickValue(QWidget *parent, const QString &caption, const QString &label, const QStringList &items,
               bool editable, int &index, QString &text)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmComboBox"));
    dialog.setWindowTitle(caption);
    auto *layout = new QVBoxLayout(&dialog);
    auto *lblText = new QLabel(label, &dialog);
    lblText->setObjectName(QStringLiteral("lblText"));
    auto *comboBox = new QComboBox(&dialog);
    comboBox->setObjectName(QStringLiteral("ComboBox"));
    comboBox->setMaxVisibleItems(15);
    comboBox->setEditable(editable);
    comboBox->setInsertPolicy(QComboBox::NoInsert);
    comboBox->addItems(items);
    comboBox->setCurrentIndex(items.isEmpty() ? -1 : 0);
    lblText->setBuddy(comboBox);
    auto *buttons = new QDialogButtonBox(&dialog);
    auto *btnOk = buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    auto *btnCancel = buttons->addButton(QStringLiteral("Zrušit"), QDialogButtonBox::RejectRole);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&dialog] { dialog.done(mrOk); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, [&dialog] { dialog.done(mrCancel); });
    layout->addWidget(lblText);
    layout->addWidget(comboBox);
    layout->addWidget(buttons);
    dialog.setMinimumWidth(240);
    if (dialog.exec() != mrOk)
        return false;
    index = comboBox->currentIndex();
    text = comboBox->currentText();
    return true;
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
        FFreqs = QList<double>(BandLow.begin(), BandLow.begin() + MaxFreqs);
        for (int mode = 1; mode < ModeCount; ++mode)
            FModes.append(mode);
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
    if (FDefMode < 0 || FDefMode >= FModes.size())
        FDefMode = 0;
    if (FDefFreq < 0 || FDefFreq >= FFreqs.size())
        FDefFreq = 0;

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

    o.SetMapZoom(0);
    o.SetMapCenterX(15);
    o.SetMapCenterY(49.8);
    o.SetMapWWLGrid(false);
    o.SetMapGeoGrid(true);

    const QScreen *screen = QGuiApplication::primaryScreen();
    const int widthClass = ScreenWidthClass(screen ? screen->geometry().width() : 0);
    for (int field = fiDAT; field < LogFieldCount; ++field) {
        const QString &name = LogFieldNames[field];
        o.SetColumnCaption(name, LogFieldCaptions[field]);
        o.SetColumnCaptionAlignment(name, LogColumnTitleAlignments[field]);
        o.SetColumnAlignment(name, LogColumnAlignments[field]);
        o.SetColumnWidth(name, LogColumnWidths[field][widthClass]);
        o.SetColumnVisible(name, LogColumnVisible[field][widthClass]);
        o.SetColumnIndex(name, LogColumnPositions[field]);
    }
}

int TfrmOptions::freeUserSlot() const
{
    for (int slot = 0; slot < TLogOptions::UserCount; ++slot)
        if (m_dm.LogOptions.GetUser(slot).isEmpty())
            return slot;
    return -1;
}

// Creates the operator: settings file, log table, then the slot in Velkor.ini. A step
// that fails is reported and undoes what the earlier steps wrote, so that no half-made
// log is left registered or lying in the data folder.
bool TfrmOptions::CreateUser()
{
    const QString call = ui->edtCall->text().toUpper();
    const QString settingsFile = m_dm.DataDir + call + QStringLiteral(".uf");
    const QString tableFile = m_dm.DataDir + call + QStringLiteral(".db");
    const bool hadSettings = QFileInfo::exists(settingsFile);
    const bool hadTable = QFileInfo::exists(tableFile);
    const int slot = freeUserSlot();
    if (slot < 0)
        return false; // checked before; the list may not have changed since

    writeNewUserSettings(*FOptions);
    QDir().mkpath(m_dm.DataDir);
    try {
        FOptions->SaveAs(settingsFile);
    } catch (const EIniFileError &e) {
        MessageDlgDef(e.message(), mtError, mbOK, mrOk);
        return false;
    }
    try {
        CreateLogTable(tableFile);
    } catch (const EDatabaseError &e) {
        if (!hadSettings)
            QFile::remove(settingsFile);
        MessageDlgDef(e.message(), mtError, mbOK, mrOk);
        return false;
    }
    m_dm.LogOptions.SetUser(slot, call);
    try {
        m_dm.LogOptions.Save();
    } catch (const EIniFileError &e) {
        m_dm.LogOptions.SetUser(slot, QString());
        if (!hadSettings)
            QFile::remove(settingsFile);
        if (!hadTable)
            QFile::remove(tableFile);
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
        for (int slot = 0; slot < TLogOptions::UserCount; ++slot) {
            if (m_dm.LogOptions.GetUser(slot).compare(call, Qt::CaseInsensitive) == 0) {
                FocusControl(ui->edtCall);
                MessageDlgDef(QStringLiteral("Uživatel již existuje!"), mtError, mbOK, mrOk);
                return false;
            }
        }
        if (freeUserSlot() < 0) {
            MessageDlgDef(QStringLiteral("Maximální počet uživatelů je 10!"), mtInformation, mbOK, mrOk);
            return false;
        }
    }
    if (ui->edtLoc->text().isEmpty()) {
        FocusControl(ui->edtLoc);
        MessageDlgDef(QStringLiteral("Lokátor musí být zadán!"), mtError, mbOK, mrOk);
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

int selectedPosition(const QTableWidget *grid)
{
    return grid->currentRow();
}

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

// Moves the entry at `from` to `to` (neighbours) and lets the default mark follow it.
template <typename T> void swapEntries(QList<T> &list, int from, int to, int &defaultPosition)
{
    list.swapItemsAt(from, to);
    if (defaultPosition == from)
        defaultPosition = to;
    else if (defaultPosition == to)
        defaultPosition = from;
}

// Removes the entry at `position`; the default keeps marking the same entry, or the
// first one when the default itself went.
template <typename T> void removeEntry(QList<T> &list, int position, int &defaultPosition)
{
    list.removeAt(position);
    if (position == defaultPosition)
        defaultPosition = 0;
    else if (position < defaultPosition)
        --defaultPosition;
}

// Adds `value` to a preset list unless it is there already; either way its entry is
// selected, so that a repeated choice shows where it stands.
template <typename T, typename Refresh>
void addEntry(QTableWidget *grid, QList<T> &list, const T &value, Refresh refresh)
{
    int position = list.indexOf(value);
    if (position < 0) {
        list.append(value);
        position = list.size() - 1;
        refresh();
    }
    selectPosition(grid, position);
}

// The buttons beside a preset list (modes, frequencies) other than Add, which differs.
enum class ListButton { Delete, MakeDefault, MoveUp, MoveDown };

// What one of those buttons does to the entry selected in `grid`: the lists differ only
// in their entries, so both share this; `refresh` shows the changed list again.
template <typename T, typename Refresh>
void applyListButton(ListButton button, QTableWidget *grid, QList<T> &list, int &defaultPosition,
                     Refresh refresh)
{
    const int p = selectedPosition(grid);
    // An empty list still shows one numbered row, which can be made the default but
    // holds nothing to delete or move.
    const bool onEntry = p >= 0 && p < list.size();
    switch (button) {
    case ListButton::Delete:
        if (!onEntry)
            return;
        removeEntry(list, p, defaultPosition);
        refresh();
        return;
    case ListButton::MakeDefault:
        if (p < 0)
            return;
        defaultPosition = p;
        refresh();
        return;
    case ListButton::MoveUp:
    case ListButton::MoveDown: {
        const int to = button == ListButton::MoveUp ? p - 1 : p + 1;
        if (!onEntry || to < 0 || to >= list.size())
            return;
        swapEntries(list, p, to, defaultPosition);
        refresh();
        selectPosition(grid, to);
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
    QStringList items;
    for (int mode = 1; mode < ModeCount; ++mode)
        items << ModeNames[mode];
    int index = -1;
    QString text;
    if (!pickValue(this, QStringLiteral("Nový mód"), QStringLiteral("Mód"), items, false, index, text)
        || index < 0)
        return;
    addEntry(ui->dGrdMode, FModes, index + 1, [this] { refreshModeGrid(); });
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
    if (FFreqs.size() >= MaxFreqs) {
        MessageDlgDef(QStringLiteral("Je povoleno maximálně %1 záznamů!").arg(MaxFreqs), mtInformation, mbOK,
                      mrOk);
        return;
    }
    QStringList items;
    for (int band = 0; band < MaxFreqs; ++band)
        items << Formats::floatToStr(BandLow[band]);
    int index = -1;
    QString text;
    if (!pickValue(this, QStringLiteral("Nová frekvence"), QStringLiteral("Frekvence"), items, true, index,
                   text))
        return;
    double value = 0;
    if (!Formats::tryStrToFloat(text, value))
        value = 0;
    // Kept to whole kilohertz, halves to even.
    value = std::nearbyint(value * 1000) / 1000;
    // The stored list has no room for a sign, so a negative value would come back
    // positive: it is refused like zero.
    if (!(value > 0)) {
        ShowErrorAndFocus(QStringLiteral("Neplatná frekvence \"%1\"!").arg(text), ui->dGrdFreq);
        return;
    }
    addEntry(ui->dGrdFreq, FFreqs, value, [this] { refreshFreqGrid(); });
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

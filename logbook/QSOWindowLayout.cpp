// The QSO window's face: its actions with captions, hints and shortcuts, the groups and
// fields in their tab order, the pop-up menu of the fields, and the look of the link labels.

#include "QSOWindow.h"

#include "ColumnFit.h"
#include "DateEdit.h"
#include "FilteredLineEdit.h"
#include "FloatComboBox.h"
#include "IOTAEdit.h"
#include "radio/KeyFilters.h"
#include "LocatorEdit.h"
#include "LogGrid.h"
#include "log/VkrDatabase.h"
#include "radio/Amater.h"
#include "PreviousQsoModel.h"
#include "ReportEdit.h"
#include "TimeEdit.h"
#include "WindowCommands.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

const QColor LinkColour{0x00, 0x00, 0x80};
const QColor LinkHoverColour{0x00, 0x00, 0xFF};
const QColor HintColour{0x00, 0x00, 0xFF};

QLabel *valueLabel(const QString &objectName, int minimumWidth)
{
    auto *label = new QLabel;
    label->setObjectName(objectName);
    label->setMinimumWidth(minimumWidth);
    // Long entity names are cut rather than widening the fixed-size window.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

void setLinkLook(QLabel *label, bool hover)
{
    QFont font = label->font();
    font.setBold(true);
    font.setUnderline(hover);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, hover ? LinkHoverColour : LinkColour);
    label->setPalette(palette);
}

} // namespace

void TfrmQSO::createActions()
{
    const auto make = [this](const char *name, const QString &text, const QString &hint,
                             const QList<QKeySequence> &keys = {}) {
        return MakeWindowAction(this, name, text, hint, keys);
    };
    actSave = make("actSave", QStringLiteral("Uložit"), QStringLiteral("Uloží aktuální spojení"),
                   {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    actClose = make("actClose", QStringLiteral("Zavřít"), QStringLiteral("Zavře formulář"),
                    {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_F3)});
    actClearForm = make("actClearForm", QStringLiteral("Vymazat formulář (F8)"),
                        QStringLiteral("Vymaže obsah formuláře"), {QKeySequence(Qt::Key_F8)});
    actInsertDateTime = make("actInsertDateTime", QStringLiteral("Vložit datum a čas (Ins)"),
                             QStringLiteral("Aktualizuje datum a čas spojení"), {QKeySequence(Qt::Key_Insert)});
    actPasmoUp = make("actPasmoUp", QStringLiteral("Další pásmo"), QString(), {QKeySequence(Qt::Key_F10)});
    actPasmoDown = make("actPasmoDown", QStringLiteral("Předchozí pásmo"), QString(), {QKeySequence(Qt::Key_F9)});
    actModUp = make("actModUp", QStringLiteral("Další mód"), QString(), {QKeySequence(Qt::Key_F12)});
    actModDown = make("actModDown", QStringLiteral("Předchozí mód"), QString(), {QKeySequence(Qt::Key_F11)});
    actSkipQuickQSO = make("actSkipQuickQSO", QStringLiteral("Přeskočit při rychlém zadávání"), QString());
    actSkipQuickQSO->setCheckable(true);
    actCopy = make("actCopy", QStringLiteral("Kopírovat"), QStringLiteral("Kopírovat"));
    actPaste = make("actPaste", QStringLiteral("Vložit"), QStringLiteral("Vložit"));
    // Ctrl+C and Ctrl+V are the fields' own keys; the menu shows them.
    actCopy->setShortcut(QKeySequence::Copy);
    actCopy->setShortcutContext(Qt::WidgetShortcut);
    actPaste->setShortcut(QKeySequence::Paste);
    actPaste->setShortcutContext(Qt::WidgetShortcut);
    actCallBook = make("actCallBook", QStringLiteral("Call Book"), QString(), {QKeySequence(Qt::CTRL | Qt::Key_A)});
    actDxccList = make("actDxccList", QStringLiteral("Seznam DXCC"), QString(), {QKeySequence(Qt::CTRL | Qt::Key_D)});
    actIOTAList = make("actIOTAList", QStringLiteral("Seznam IOTA"), QString(), {QKeySequence(Qt::CTRL | Qt::Key_T)});
    actHelp = make("actHelp", QStringLiteral("Nápověda"), QString(), {QKeySequence(Qt::Key_F1)});

    connect(actSave, &QAction::triggered, this, &TfrmQSO::actSaveExecute);
    connect(actClose, &QAction::triggered, this, [this] { close(); });
    connect(actClearForm, &QAction::triggered, this, &TfrmQSO::actClearFormExecute);
    connect(actInsertDateTime, &QAction::triggered, this, &TfrmQSO::actInsertDateTimeExecute);
    connect(actPasmoUp, &QAction::triggered, this, [this] { stepPreset(cbFreq, true); });
    connect(actPasmoDown, &QAction::triggered, this, [this] { stepPreset(cbFreq, false); });
    connect(actModUp, &QAction::triggered, this, [this] { stepPreset(cbMode, true); });
    connect(actModDown, &QAction::triggered, this, [this] { stepPreset(cbMode, false); });
    connect(actSkipQuickQSO, &QAction::triggered, this, &TfrmQSO::actSkipQuickQSOExecute);
    connect(actCopy, &QAction::triggered, this, &TfrmQSO::actCopyExecute);
    connect(actPaste, &QAction::triggered, this, &TfrmQSO::actPasteExecute);
    connect(actCallBook, &QAction::triggered, this, [this] {
        if (CallBookHandler)
            CallBookHandler(*this);
    });
    connect(actDxccList, &QAction::triggered, this, [this] {
        if (DxccListHandler)
            DxccListHandler(*this);
    });
    connect(actIOTAList, &QAction::triggered, this, [this] {
        if (IotaListHandler) {
            edtIOTA->formatOnExit(); // the number part padded before the list looks it up
            IotaListHandler(*this);
        }
    });
    connect(actHelp, &QAction::triggered, this, &TfrmQSO::actHelpExecute);

    actCallBook->setEnabled(bool(CallBookHandler));
    actDxccList->setEnabled(bool(DxccListHandler));
    actIOTAList->setEnabled(bool(IotaListHandler));
}

void TfrmQSO::createLayout()
{
    createSpojeni();

    grpBoxPredQSO = new QGroupBox(QStringLiteral("Předchozí spojení"));
    grpBoxPredQSO->setObjectName(QStringLiteral("grpBoxPredQSO"));
    dbgLastQSO = new TLogGrid;
    dbgLastQSO->setObjectName(QStringLiteral("dbgLastQSO"));
    dbgLastQSO->setModel(m_predModel);
    dbgLastQSO->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dbgLastQSO->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgLastQSO->setSelectionMode(QAbstractItemView::SingleSelection);
    dbgLastQSO->setFocusPolicy(Qt::ClickFocus);
    dbgLastQSO->verticalHeader()->setDefaultSectionSize(18);
    dbgLastQSO->verticalHeader()->setFixedWidth(12);
    dbgLastQSO->horizontalHeader()->setHighlightSections(false);
    dbgLastQSO->horizontalHeader()->setStretchLastSection(true);
    dbgLastQSO->setFixedHeight(150);
    connect(m_predModel, &PreviousQsoModel::currentRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        dbgLastQSO->setCurrentIndex(m_predModel->index(row, 0));
        dbgLastQSO->scrollTo(m_predModel->index(row, 0));
    });
    auto *predLayout = new QVBoxLayout(grpBoxPredQSO);
    predLayout->setContentsMargins(4, 4, 4, 4);
    predLayout->addWidget(dbgLastQSO);

    QWidget *info = createInfoColumn();
    auto *left = new QVBoxLayout;
    left->addWidget(grpBoxSpojeni);
    left->addLayout(createSettingsRow());
    auto *top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(info);

    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(6, 6, 6, 6);
    main->setSpacing(4);
    main->addLayout(top);
    main->addWidget(grpBoxPredQSO);
}

void TfrmQSO::createSpojeni()
{
    grpBoxSpojeni = new QGroupBox(QStringLiteral("Spojení"));
    grpBoxSpojeni->setObjectName(QStringLiteral("grpBoxSpojeni"));
    auto *grid = new QGridLayout(grpBoxSpojeni);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(5);

    auto filtered = [](const char *name, int maxLength, void (*filter)(QChar &, const QString &)) {
        auto *edit = new TFilteredLineEdit;
        edit->setObjectName(QString::fromLatin1(name));
        edit->setMaxLength(maxLength);
        if (filter)
            edit->setKeyFilter([filter](QChar &key) { filter(key, QString()); });
        return edit;
    };
    auto digits = [](const char *name) {
        auto *edit = new TFilteredLineEdit;
        edit->setObjectName(QString::fromLatin1(name));
        edit->setMaxLength(2);
        edit->setKeyFilter([](QChar &key) { DigitKeyFilter(key); });
        return edit;
    };
    auto plain = [](const char *name, int maxLength) {
        auto *edit = new QLineEdit;
        edit->setObjectName(QString::fromLatin1(name));
        edit->setMaxLength(maxLength);
        return edit;
    };
    auto list = [](const char *name) {
        auto *box = new QComboBox;
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    auto named = [](auto *widget, const char *name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    };

    edtCall = filtered("edtCall", 15, CallKeyFilter);
    QFont callFont = edtCall->font();
    callFont.setPointSize(14);
    callFont.setBold(true);
    edtCall->setFont(callFont);
    cbFreq = named(new TFloatComboBox, "cbFreq");
    cbMode = list("cbMode");
    cbMode->setMaxVisibleItems(12);
    edtRSTo = named(new TReportEdit, "edtRSTo");
    edtRSTp = named(new TReportEdit, "edtRSTp");
    // No more than the log keeps, so that nothing typed is cut when the QSO is saved.
    edtName = plain("edtName", LogFieldSizes[fiNAME]);
    edtQTH = plain("edtQTH", 20);
    edtLOCp = named(new TLocatorEdit, "edtLOCp");
    edtIOTA = named(new TIOTAEdit, "edtIOTA");
    edtAward = filtered("edtAward", 12, CallDashKeyFilter);
    edtDXCC = filtered("edtDXCC", 5, CallKeyFilter);
    edtITU = digits("edtITU");
    edtWAZ = digits("edtWAZ");
    edtQSLmgr = plain("edtQSLmgr", 15);
    cbQSLo = list("cbQSLo");
    cbQSLp = list("cbQSLp");
    cbEQSL = list("cbEQSL");
    edtNote = plain("edtNote", 50);
    edtTime = named(new TTimeEdit, "edtTime");
    edtDate = named(new TDateEdit, "edtDate");

    m_fields = {edtCall, cbFreq,   cbMode, edtRSTo,   edtRSTp, edtName, edtQTH, edtLOCp, edtIOTA, edtAward,
                edtDXCC, edtITU,   edtWAZ, edtQSLmgr, cbQSLo,  cbQSLp,  cbEQSL, edtNote, edtTime, edtDate};

    lblCall = new QLabel(QStringLiteral("Značka"));
    lblCall->setObjectName(QStringLiteral("lblCall"));
    lblCall->setToolTip(QStringLiteral("Otevřít Call Book"));
    lblIOTA = new QLabel(QStringLiteral("IOTA"));
    lblIOTA->setObjectName(QStringLiteral("lblIOTA"));
    lblIOTA->setToolTip(QStringLiteral("Otevřít seznam IOTA"));
    lblDXCC = new QLabel(QStringLiteral("DXCC"));
    lblDXCC->setObjectName(QStringLiteral("lblDXCC"));
    lblDXCC->setToolTip(QStringLiteral("Otevřít seznam DXCC"));
    for (QLabel *link : {lblCall, lblIOTA, lblDXCC}) {
        link->setCursor(Qt::PointingHandCursor);
        setLinkLook(link, false);
        link->installEventFilter(this);
    }

    lblBand = new QLabel(QStringLiteral("Band"));
    lblBand->setObjectName(QStringLiteral("lblBand"));
    QFont bandFont = lblBand->font();
    bandFont.setBold(true);
    lblBand->setFont(bandFont);
    lblPseQsl = new QLabel(QStringLiteral("PSE QSL"));
    lblPseQsl->setObjectName(QStringLiteral("lblPseQsl"));
    lblNovaZeme = new QLabel(QStringLiteral("Nová země"));
    lblNovaZeme->setObjectName(QStringLiteral("lblNovaZeme"));
    for (QLabel *hint : {lblPseQsl, lblNovaZeme}) {
        QFont font = hint->font();
        font.setBold(true);
        hint->setFont(font);
        QPalette palette = hint->palette();
        palette.setColor(QPalette::Active, QPalette::WindowText, HintColour);
        palette.setColor(QPalette::Inactive, QPalette::WindowText, HintColour);
        hint->setPalette(palette);
    }

    auto label = [](const QString &text) { return new QLabel(text); };

    grid->addWidget(lblCall, 0, 0);
    grid->addWidget(edtCall, 0, 1, 1, 3);
    grid->addWidget(lblBand, 0, 4, 1, 2);
    grid->addWidget(lblPseQsl, 0, 6);
    grid->addWidget(lblNovaZeme, 0, 7);

    grid->addWidget(label(QStringLiteral("Frekvence")), 1, 0);
    grid->addWidget(cbFreq, 1, 1);
    grid->addWidget(label(QStringLiteral("Mód")), 1, 2);
    grid->addWidget(cbMode, 1, 3);
    grid->addWidget(label(QStringLiteral("RSTo")), 1, 4);
    grid->addWidget(edtRSTo, 1, 5);
    grid->addWidget(label(QStringLiteral("RSTp")), 1, 6);
    grid->addWidget(edtRSTp, 1, 7);

    grid->addWidget(label(QStringLiteral("Jméno")), 2, 0);
    grid->addWidget(edtName, 2, 1, 1, 3);
    grid->addWidget(label(QStringLiteral("QTH")), 2, 4);
    grid->addWidget(edtQTH, 2, 5, 1, 3);

    grid->addWidget(label(QStringLiteral("Lokátor")), 3, 0);
    grid->addWidget(edtLOCp, 3, 1);
    grid->addWidget(lblIOTA, 3, 2);
    grid->addWidget(edtIOTA, 3, 3);
    grid->addWidget(label(QStringLiteral("Diplom")), 3, 4);
    grid->addWidget(edtAward, 3, 5, 1, 3);

    grid->addWidget(lblDXCC, 4, 0);
    grid->addWidget(edtDXCC, 4, 1);
    grid->addWidget(label(QStringLiteral("ITU")), 4, 2);
    grid->addWidget(edtITU, 4, 3);
    grid->addWidget(label(QStringLiteral("WAZ")), 4, 4);
    grid->addWidget(edtWAZ, 4, 5);

    grid->addWidget(label(QStringLiteral("QSL via")), 5, 0);
    grid->addWidget(edtQSLmgr, 5, 1);
    grid->addWidget(label(QStringLiteral("QSLo")), 5, 2);
    grid->addWidget(cbQSLo, 5, 3);
    grid->addWidget(label(QStringLiteral("QSLp")), 5, 4);
    grid->addWidget(cbQSLp, 5, 5);
    grid->addWidget(label(QStringLiteral("eQSL")), 5, 6);
    grid->addWidget(cbEQSL, 5, 7);

    grid->addWidget(label(QStringLiteral("Poznámka")), 6, 0);
    grid->addWidget(edtNote, 6, 1, 1, 7);

    grid->addWidget(label(QStringLiteral("Čas")), 7, 0);
    grid->addWidget(edtTime, 7, 1);
    grid->addWidget(label(QStringLiteral("Datum")), 7, 2);
    grid->addWidget(edtDate, 7, 3);

    for (int column : {1, 3})
        grid->setColumnMinimumWidth(column, 95);
    for (int column : {5, 7})
        grid->setColumnMinimumWidth(column, 70);

    cbQSLp->setFocusPolicy(Qt::ClickFocus);
    cbEQSL->setFocusPolicy(Qt::ClickFocus);
}

// The tabled widths were made for one font; in the font the grid has now, a column of values
// of one shape (dates, frequencies, modes, locators) is still as wide as the widest of them.
void TfrmQSO::sizeLastQsoColumns()
{
    static constexpr std::array<int, PreviousQsoModel::ColumnCount> Widths{62, 90, 60, 50, 80, 110,
                                                                           55, 55, 80, 30, 30, 150};
    const QFontMetrics metrics(dbgLastQSO->font());
    const QString locator = WidestLocator(metrics);
    const QHash<int, QString> widest{{fiDAT, QStringLiteral("00.00.00")},
                                     {fiFREQ, WidestFrequency(metrics)},
                                     {fiMODE, WidestText(metrics, QStringList(ModeNames.begin() + 1, ModeNames.end()))},
                                     {fiLOCP, locator},
                                     {fiLOCO, locator}};
    for (int column = 0; column < PreviousQsoModel::ColumnCount; ++column) {
        const int field = PreviousQsoModel::ColumnFields[column];
        const int least = widest.contains(field) ? ColumnWidthFor(*dbgLastQSO, widest[field]) : 0;
        dbgLastQSO->setColumnWidth(column, std::max(Widths[column], least));
    }
}

QWidget *TfrmQSO::createInfoColumn()
{
    auto *column = new QWidget;
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    auto group = [](const char *name, const QString &title) {
        auto *box = new QGroupBox(title);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };

    grpBoxUTC = group("grpBoxUTC", QStringLiteral("UTC"));
    lblClockTime = new QLabel;
    lblClockTime->setObjectName(QStringLiteral("lblClockTime"));
    lblClockTime->setToolTip(QStringLiteral("Čas UTC"));
    QFont clockFont = lblClockTime->font();
    clockFont.setPointSize(16);
    clockFont.setBold(true);
    lblClockTime->setFont(clockFont);
    lblClockDate = new QLabel;
    lblClockDate->setObjectName(QStringLiteral("lblClockDate"));
    lblClockDate->setToolTip(QStringLiteral("Datum dle UTC"));
    QFont dateFont = lblClockDate->font();
    dateFont.setPointSize(12);
    lblClockDate->setFont(dateFont);
    auto *utc = new QHBoxLayout(grpBoxUTC);
    utc->addWidget(lblClockTime);
    utc->addStretch();
    utc->addWidget(lblClockDate);

    grpBoxInfo = group("grpBoxInfo", QStringLiteral("DXCC informace"));
    lblDxccDXCC = valueLabel(QStringLiteral("lblDxccDXCC"), 150);
    lblDxccName = valueLabel(QStringLiteral("lblDxccName"), 150);
    auto *info = new QGridLayout(grpBoxInfo);
    info->addWidget(new QLabel(QStringLiteral("DXCC:")), 0, 0);
    info->addWidget(lblDxccDXCC, 0, 1);
    info->addWidget(new QLabel(QStringLiteral("Název:")), 1, 0);
    info->addWidget(lblDxccName, 1, 1);
    info->setColumnStretch(1, 1);

    grpBoxZemInf = group("grpBoxZemInf", QStringLiteral("Zeměpisné info"));
    lblDxccLatitude = valueLabel(QStringLiteral("lblDxccLatitude"), 150);
    lblDxccLongitude = valueLabel(QStringLiteral("lblDxccLongitude"), 150);
    lblDxccCont = valueLabel(QStringLiteral("lblDxccCont"), 150);
    lblDxccTime = valueLabel(QStringLiteral("lblDxccTime"), 150);
    lblDistance = valueLabel(QStringLiteral("lblDistance"), 150);
    lblAzimuth = valueLabel(QStringLiteral("lblAzimuth"), 150);
    auto *geo = new QGridLayout(grpBoxZemInf);
    const std::array<std::pair<QString, QLabel *>, 6> rows{{{QStringLiteral("Šířka:"), lblDxccLatitude},
                                                            {QStringLiteral("Délka:"), lblDxccLongitude},
                                                            {QStringLiteral("Kontinent:"), lblDxccCont},
                                                            {QStringLiteral("Lokální čas:"), lblDxccTime},
                                                            {QStringLiteral("Vzdálenost:"), lblDistance},
                                                            {QStringLiteral("Azimut:"), lblAzimuth}}};
    for (int r = 0; r < int(rows.size()); ++r) {
        geo->addWidget(new QLabel(rows[r].first), r, 0);
        geo->addWidget(rows[r].second, r, 1);
    }
    geo->setColumnStretch(1, 1);

    layout->addWidget(grpBoxUTC);
    layout->addWidget(grpBoxInfo);
    layout->addWidget(grpBoxZemInf);
    layout->addStretch();
    column->setFixedWidth(250);
    return column;
}

QLayout *TfrmQSO::createSettingsRow()
{
    auto group = [](const char *name, const QString &title) {
        auto *box = new QGroupBox(title);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };

    grpBoxVlastni = group("grpBoxVlastni", QStringLiteral("Vlastní nastavení"));
    edtLOCo = new TLocatorEdit;
    edtLOCo->setObjectName(QStringLiteral("edtLOCo"));
    edtLOCo->setFocusPolicy(Qt::ClickFocus);
    cbPWR = new TFloatComboBox;
    cbPWR->setObjectName(QStringLiteral("cbPWR"));
    cbPWR->setFocusPolicy(Qt::ClickFocus);
    auto *own = new QGridLayout(grpBoxVlastni);
    own->addWidget(new QLabel(QStringLiteral("Vl. lokátor")), 0, 0);
    own->addWidget(edtLOCo, 0, 1);
    own->addWidget(new QLabel(QStringLiteral("PWR")), 0, 2);
    own->addWidget(cbPWR, 0, 3);

    grpBoxVolby = group("grpBoxVolby", QStringLiteral("Funkce"));
    chQuickQSO = new QCheckBox(QStringLiteral("Rychlé zadávání"));
    chQuickQSO->setObjectName(QStringLiteral("chQuickQSO"));
    chQuickQSO->setToolTip(QStringLiteral("Rychlé zadávání spojení (vybraná pole budou přeskakována)"));
    chLockNote = new QCheckBox(QStringLiteral("Pevná poznámka"));
    chLockNote->setObjectName(QStringLiteral("chLockNote"));
    chLockNote->setToolTip(QStringLiteral("Blokování textu poznámky"));
    chOffline = new QCheckBox(QStringLiteral("Offline čas"));
    chOffline->setObjectName(QStringLiteral("chOffline"));
    chOffline->setToolTip(QStringLiteral("Vypne automatické vkládání času"));
    auto *options = new QVBoxLayout(grpBoxVolby);
    options->setSpacing(2);
    for (QCheckBox *box : {chQuickQSO, chLockNote, chOffline}) {
        box->setFocusPolicy(Qt::ClickFocus);
        options->addWidget(box);
        connect(box, &QCheckBox::clicked, this, [this, box] { checkBoxClicked(box); });
    }

    btnSave = new QPushButton(actSave->text());
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnSave->setToolTip(actSave->toolTip());
    btnZavrit = new QPushButton(actClose->text());
    btnZavrit->setObjectName(QStringLiteral("btnZavrit"));
    btnZavrit->setToolTip(actClose->toolTip());
    for (QPushButton *button : {btnSave, btnZavrit}) {
        // Enter in the fields moves on; it never presses a button by itself.
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setMinimumHeight(28);
    }
    btnSave->installEventFilter(this);
    connect(btnSave, &QPushButton::clicked, actSave, &QAction::trigger);
    connect(btnZavrit, &QPushButton::clicked, actClose, &QAction::trigger);
    connect(actSave, &QAction::enabledChanged, btnSave, &QPushButton::setEnabled);
    for (QPushButton *button : {btnSave, btnZavrit})
        button->setMinimumWidth(110);

    auto *buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnSave);
    buttons->addWidget(btnZavrit);
    auto *row = new QHBoxLayout;
    row->addWidget(grpBoxVlastni);
    row->addWidget(grpBoxVolby);
    row->addStretch();
    row->addLayout(buttons);
    return row;
}

void TfrmQSO::createPopupMenu()
{
    pmField = new QMenu(this);
    pmField->setObjectName(QStringLiteral("pmField"));
    pmField->addAction(actCopy);
    pmField->addAction(actPaste);
    pmField->addSeparator();
    pmField->addAction(actCallBook);
    pmField->addAction(actDxccList);
    pmField->addAction(actIOTAList);
    pmField->addSeparator();
    pmField->addAction(actSkipQuickQSO);

    m_modifyingFields.clear();
    for (QWidget *field : m_fields)
        m_modifyingFields << field;
    m_modifyingFields << edtLOCo << cbPWR;

    for (QWidget *field : m_modifyingFields) {
        field->installEventFilter(this);
        if (auto *edit = qobject_cast<QLineEdit *>(field))
            connect(edit, &QLineEdit::textChanged, this, &TfrmQSO::fieldChanged);
        else if (auto *box = qobject_cast<QComboBox *>(field)) {
            if (box->isEditable())
                connect(box, &QComboBox::editTextChanged, this, &TfrmQSO::fieldChanged);
            else
                connect(box, &QComboBox::currentIndexChanged, this, &TfrmQSO::fieldChanged);
        }
        const bool hasMenu = field != edtLOCo && field != cbPWR && field != cbQSLp && field != cbEQSL;
        if (!hasMenu)
            continue;
        // An editable box gets the right click in its line edit.
        QWidget *target = field;
        if (auto *box = qobject_cast<QComboBox *>(field); box && box->lineEdit())
            target = box->lineEdit();
        target->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(target, &QWidget::customContextMenuRequested, this, [this, field, target](const QPoint &pos) {
            showPopup(field, target->mapToGlobal(pos));
        });
    }
}

void TfrmQSO::setTabOrders()
{
    QList<QWidget *> chain(m_fields.begin(), m_fields.end());
    chain << btnSave << btnZavrit << edtLOCo << cbPWR << chQuickQSO << chLockNote << chOffline;
    for (int i = 0; i + 1 < chain.size(); ++i)
        setTabOrder(chain[i], chain[i + 1]);
}

void TfrmQSO::linkLabelEvent(QLabel *label, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
        setLinkLook(label, true);
        break;
    case QEvent::Leave:
        setLinkLook(label, false);
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
            break;
        if (label == lblCall)
            actCallBook->trigger();
        else if (label == lblIOTA)
            actIOTAList->trigger();
        else
            actDxccList->trigger();
        break;
    default:
        break;
    }
}

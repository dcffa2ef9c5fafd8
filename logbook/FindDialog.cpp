#include "FindDialog.h"

#include "AppGlobals.h"
#include "base/CaseFold.h"
#include "ComboKeys.h"
#include "log/DmLog.h"
#include "FindSource.h"
#include "base/Formats.h"
#include "log/LogFilter.h"
#include "LogGrid.h"
#include "base/Messages.h"
#include "MinimizeProgram.h"
#include "SearchLineEdit.h"
#include "base/VelkorError.h"
#include "WindowCommands.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmFind::TfrmFind(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Vyhledat"));
    // A dialog of its owner stays above it; the owner stays usable. Not a tool window: the
    // shortcuts of a tool window's owner act in it too, so the owner's Esc (a callbook or a
    // list closes with Esc) would clash with the find window's own Esc and neither would run.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);

    cbBoxData = new QComboBox(this);
    cbBoxData->setObjectName(QStringLiteral("cbBoxData"));
    cbBoxData->setEditable(true);
    cbBoxData->setInsertPolicy(QComboBox::NoInsert);
    edtData = new TSearchLineEdit(cbBoxData);
    edtData->setObjectName(QStringLiteral("edtData"));
    cbBoxData->setLineEdit(edtData);
    cbBoxData->setMinimumWidth(200);
    WatchComboKeys(cbBoxData, this);

    cbBoxField = new QComboBox(this);
    cbBoxField->setObjectName(QStringLiteral("cbBoxField"));
    cbBoxField->setMaxVisibleItems(10);

    chBoxFirst = new QCheckBox(QStringLiteral("Hledat od začátku"), this);
    chBoxFirst->setObjectName(QStringLiteral("chBoxFirst"));
    chBoxFirst->setFocusPolicy(Qt::NoFocus);
    chBoxCase = new QCheckBox(QStringLiteral("Rozlišovat velká a malá písmena"), this);
    chBoxCase->setObjectName(QStringLiteral("chBoxCase"));
    chBoxCase->setFocusPolicy(Qt::NoFocus);
    auto *note = new QLabel(QStringLiteral("Zástupné znaky * ? "), this);
    QFont italic = note->font();
    italic.setItalic(true);
    note->setFont(italic);

    // Enter searches from every box of the window, the keypad's Enter as well.
    actFind = MakeWindowAction(this, "actFind", QStringLiteral("&Hledat"), QStringLiteral("Vyhledat zadaný údaj"),
                               {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    actClose = MakeWindowAction(this, "actClose", QStringLiteral("&Zavřít"), QStringLiteral("Zavřít formulář"),
                                {QKeySequence(Qt::Key_Escape)});
    actHelp = MakeWindowAction(this, "actHelp", QStringLiteral("Nápověda"), QString(), {QKeySequence(Qt::Key_F1)});
    connect(actFind, &QAction::triggered, this, [this] { actFindExecute(); });
    connect(actClose, &QAction::triggered, this, &QWidget::hide);
    connect(actHelp, &QAction::triggered, this, [this] {
        if (dmLog)
            ShowHelpTopic(dmLog->AppDir, objectName());
    });

    btnFind = new QPushButton(actFind->text(), this);
    btnFind->setObjectName(QStringLiteral("btnFind"));
    btnFind->setAutoDefault(false);
    connect(btnFind, &QPushButton::clicked, actFind, &QAction::trigger);
    connect(actFind, &QAction::changed, btnFind, [this] { btnFind->setText(actFind->text()); });
    btnClose = new QPushButton(actClose->text(), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setAutoDefault(false);
    connect(btnClose, &QPushButton::clicked, actClose, &QAction::trigger);

    auto *fields = new QGridLayout;
    auto *lblData = new QLabel(QStringLiteral("Hledat:"), this);
    lblData->setBuddy(cbBoxData);
    auto *lblField = new QLabel(QStringLiteral("V poli:"), this);
    lblField->setBuddy(cbBoxField);
    fields->addWidget(lblData, 0, 0);
    fields->addWidget(cbBoxData, 0, 1);
    fields->addWidget(lblField, 1, 0);
    fields->addWidget(cbBoxField, 1, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btnFind);
    buttons->addWidget(btnClose);
    buttons->addStretch();
    auto *top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(chBoxFirst);
    layout->addWidget(chBoxCase);
    layout->addWidget(note);

    connect(cbBoxField, &QComboBox::currentIndexChanged, this, [this] { cbBoxFieldChange(); });
    connect(edtData, &QLineEdit::textChanged, this, [this] { chBoxFirst->setChecked(true); });
    connect(chBoxFirst, &QCheckBox::toggled, this, [this] { chBoxFirstChange(); });
    chBoxFirst->setChecked(true);
    chBoxFirstChange();
}

TfrmFind::~TfrmFind() = default;

void TfrmFind::Setup(TFindSource *source, TLogGrid *grid, const QList<TFindField> &fields)
{
    m_source.reset(source);
    m_grid = grid;
    m_fields = fields;
    const QSignalBlocker blocker(cbBoxField);
    cbBoxField->clear();
    for (const TFindField &field : fields)
        cbBoxField->addItem(field.caption);
    cbBoxField->setCurrentIndex(fields.isEmpty() ? -1 : 0);
    cbBoxFieldChange();
}

void TfrmFind::cbBoxFieldChange()
{
    const int index = cbBoxField->currentIndex();
    const TFindKind kind = index >= 0 && index < m_fields.size() ? m_fields[index].kind : fkText;
    chBoxCase->setEnabled(kind == fkText);
    switch (kind) {
    case fkDate:
        edtData->SetKeyKind(TSearchLineEdit::kkFindDate);
        break;
    case fkCall:
        edtData->SetKeyKind(TSearchLineEdit::kkCall, QStringLiteral("*?"));
        break;
    case fkLocator:
        edtData->SetKeyKind(TSearchLineEdit::kkLocator, QStringLiteral("*?"));
        break;
    case fkIOTA:
        edtData->SetKeyKind(TSearchLineEdit::kkIOTA, QStringLiteral("*?"));
        break;
    case fkText:
        edtData->SetKeyKind(TSearchLineEdit::kkNone);
        break;
    }
}

void TfrmFind::chBoxFirstChange()
{
    actFind->setText(chBoxFirst->isChecked() ? QStringLiteral("&Hledat") : QStringLiteral("&Další"));
}

void TfrmFind::ShowFind()
{
    show();
    raise();
    activateWindow();
    RefocusSearch();
}

void TfrmFind::RefocusSearch()
{
    if (!isVisible())
        return;
    activateWindow();
    cbBoxData->setFocus();
}

void TfrmFind::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    cbBoxData->setFocus();
}

void TfrmFind::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    MinimizeProgramInstead(this, event, VisibleMainWindow());
}

bool TfrmFind::eventFilter(QObject *watched, QEvent *event)
{
    if (IsComboEventOf(watched, cbBoxData) && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier))
            return QDialog::eventFilter(watched, event); // Alt+Down still opens the list
        switch (key->key()) {
        case Qt::Key_Up:
            moveRecord(-1);
            return true;
        case Qt::Key_Down:
            moveRecord(1);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            actFind->trigger();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Up and Down in the search box step through the grid.
void TfrmFind::moveRecord(int delta)
{
    if (!m_source || m_source->RecordCount() == 0)
        return;
    const int target = std::clamp(m_source->RecNo() + delta, 1, m_source->RecordCount());
    if (target != m_source->RecNo())
        m_source->SetRecNo(target);
}

std::optional<TFindMatch> TfrmFind::MatchFor(TFindKind kind, const QString &text, bool caseSensitive)
{
    switch (kind) {
    case fkDate: {
        QDate date;
        if (!Formats::tryStrToDate(text, date))
            return std::nullopt;
        return TFindMatch::Date(date);
    }
    case fkCall:
    case fkLocator:
    case fkIOTA:
        return TFindMatch::Mask(UpperAscii(text), TFindMatch::tfUpperAscii);
    case fkText:
        if (caseSensitive)
            return TFindMatch::Mask(text, TFindMatch::tfAsTyped);
        // Mask and text folded alike: Praha finds PRAHA, and žižkov finds ŽIŽKOV.
        return TFindMatch::Mask(CaseFold(text), TFindMatch::tfCaseFold);
    }
    return std::nullopt;
}

int TfrmFind::search(int from, const TFindField &field, const QString &text) const
{
    const std::optional<TFindMatch> match = MatchFor(field.kind, text, chBoxCase->isChecked());
    return match ? m_source->FindFrom(from, field.field, *match) : -1;
}

bool TfrmFind::actFindExecute()
{
    const int fieldIndex = cbBoxField->currentIndex();
    if (!m_source || fieldIndex < 0 || fieldIndex >= m_fields.size())
        return false;
    const int screenRow = m_grid ? m_grid->Row() : 0;
    const int rowCount = m_grid ? m_grid->RowCount() : 0;
    const int count = m_source->RecordCount();
    const int startRecNo = count > 0 ? m_source->RecNo() : -1;
    int found = -1;
    QString failure;
    m_source->DisableControls();
    try {
        if (count > 0) {
            // From the first record, or from the one after the current one.
            const int from = chBoxFirst->isChecked() ? 0 : startRecNo;
            found = search(from, m_fields[fieldIndex], cbBoxData->currentText().trimmed());
        }
    } catch (const EVelkorError &e) {
        failure = e.message();
        found = -1;
    }
    m_source->EnableControls();
    // The move comes after the walk, with the owner listening again, so that its status
    // bar and its navigation commands follow the found record.
    if (found >= 0)
        m_source->SetRecNo(found + 1);

    if (found >= 0) {
        // A match already in view below the current row leaves the grid as it is; any
        // other comes to the grid's top row.
        const int distance = found + 1 - startRecNo;
        if (m_grid && !(distance >= 0 && distance <= rowCount - screenRow - 1))
            m_grid->ShowCurrentOnRow(1);
    } else {
        if (count > 0) {
            m_source->SetRecNo(startRecNo);
            if (m_grid && screenRow > 0)
                m_grid->ShowCurrentOnRow(screenRow);
        }
        if (!failure.isEmpty())
            MessageDlgDef(failure, mtError, mbOK, mrOk);
        MessageDlgDef(QStringLiteral("Nenalezeno ..."), mtInformation, mbOK, mrOk);
    }
    chBoxFirst->setChecked(found < 0);
    edtData->selectAll();
    cbBoxData->setFocus();
    return found >= 0;
}

#include "AziDisDialog.h"

#include "AppGlobals.h"
#include "ComboKeys.h"
#include "log/DmLog.h"
#include "FilteredLineEdit.h"
#include "radio/KeyFilters.h"
#include "radio/Kontrola.h"
#include "radio/Locator.h"
#include "base/Messages.h"
#include "MinimizeProgram.h"
#include "base/OstrelFP.h"
#include "WindowCommands.h"

#include <QAbstractItemView>
#include <QAction>
#include <QFrame>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

bool isLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z');
}

bool isFullLocator(const QString &text)
{
    return text.size() == 6 && IsValidLocator(text);
}

QLabel *resultLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setMinimumWidth(140);
    return label;
}

} // namespace

TfrmAziDis::TfrmAziDis(const QString &ownLocator, QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmAziDis"));
    setWindowTitle(QStringLiteral("Výpočty s lokátory"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    pgControl = new QTabWidget(this);
    pgControl->setObjectName(QStringLiteral("pgControl"));
    pgControl->addTab(createDistancePage(), QStringLiteral("Výpočet vzdálenosti a azimutu"));
    pgControl->addTab(createCoordinatesPage(), QStringLiteral("Souřadnice na lokátor"));
    pgControl->addTab(createLocatorPage(), QStringLiteral("Lokátor na souřadnice"));
    connect(pgControl, &QTabWidget::currentChanged, this, &TfrmAziDis::pgControlChange);

    actVzdal = MakeWindowAction(this, "actVzdal", QStringLiteral("&Vypočítat"), QString());
    actZavrit = MakeWindowAction(this, "actZavrit", QStringLiteral("&Zavřít"), QStringLiteral("Zavře formulář"),
                                 {QKeySequence(Qt::Key_Escape)});
    connect(actVzdal, &QAction::triggered, this, &TfrmAziDis::actVypocetExecute);
    connect(actZavrit, &QAction::triggered, this, [this] { done(mrCancel); });
    QAction *actHelp =
        MakeWindowAction(this, "actHelp", QStringLiteral("Nápověda"), QString(), {QKeySequence(Qt::Key_F1)});
    connect(actHelp, &QAction::triggered, this, [this] {
        if (dmLog)
            ShowHelpTopic(dmLog->AppDir, objectName());
    });
    auto *btnVypocet = new QPushButton(actVzdal->text(), this);
    btnVypocet->setObjectName(QStringLiteral("btnVypocet"));
    btnVypocet->setAutoDefault(false);
    connect(btnVypocet, &QPushButton::clicked, actVzdal, &QAction::trigger);
    auto *btnZavrit = new QPushButton(actZavrit->text(), this);
    btnZavrit->setObjectName(QStringLiteral("btnZavrit"));
    btnZavrit->setAutoDefault(false);
    btnZavrit->setToolTip(actZavrit->statusTip());
    connect(btnZavrit, &QPushButton::clicked, actZavrit, &QAction::trigger);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnVypocet);
    buttons->addWidget(btnZavrit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pgControl);
    layout->addLayout(buttons);

    for (QLabel *label : {lblVzdal, lblAzi, lblLocRes, lblDelka, lblSirka})
        label->clear();
    cbBoxLocVl->setEditText(ownLocator);
    AddLoc(cbBoxLocVl);
    pgControl->setCurrentIndex(0);
    cbBoxLoc->setFocus();
}

QComboBox *TfrmAziDis::makeLocatorBox(const char *name)
{
    auto *box = new QComboBox(this);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    auto *edit = new TFilteredLineEdit(box);
    edit->setMaxLength(6);
    // Letters in the field and subsquare, digits in the square, upper case.
    edit->setKeyFilter([edit](QChar &key) {
        key = key.toUpper();
        const int caret = edit->insertPosition();
        const bool digitPlace = caret == 2 || caret == 3;
        const bool ok = caret < 6 && (digitPlace ? key.isDigit() && key.unicode() < 128 : isLetter(key));
        if (!ok)
            key = KeyNull;
    });
    box->setLineEdit(edit);
    WatchComboKeys(box, this);
    box->view()->installEventFilter(this); // Space in the open list closes it again
    m_locatorBoxes << box;
    return box;
}

QLineEdit *TfrmAziDis::makeCoordinateEdit(const char *name, int maxLength)
{
    auto *edit = new TFilteredLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(maxLength);
    edit->setFrame(false);
    edit->setFixedWidth(maxLength == 1 ? 22 : 34);
    edit->setAlignment(Qt::AlignRight);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this, edit](const QString &text) {
        if (text.size() >= edit->maxLength())
            moveFocus(edit, true);
    });
    m_coordinateEdits << edit;
    return edit;
}

QWidget *TfrmAziDis::createDistancePage()
{
    auto *page = new QWidget;
    cbBoxLoc = makeLocatorBox("cbBoxLoc");
    cbBoxLocVl = makeLocatorBox("cbBoxLocVl");
    lblVzdal = resultLabel("lblVzdal", page);
    lblAzi = resultLabel("lblAzi", page);
    auto *input = new QGroupBox(QStringLiteral("Vstupní hodnoty"), page);
    auto *inputForm = new QFormLayout(input);
    inputForm->addRow(QStringLiteral("Cílový lokátor:"), cbBoxLoc);
    inputForm->addRow(QStringLiteral("Výchozí lokátor:"), cbBoxLocVl);
    auto *result = new QGroupBox(QStringLiteral("Výsledek"), page);
    auto *resultForm = new QFormLayout(result);
    resultForm->addRow(QStringLiteral("Vzdálenost:"), lblVzdal);
    resultForm->addRow(QStringLiteral("Azimut:"), lblAzi);
    auto *layout = new QHBoxLayout(page);
    layout->addWidget(input);
    layout->addWidget(result);
    for (QComboBox *box : {cbBoxLoc, cbBoxLocVl}) {
        // A changed locator makes the shown result stale.
        connect(box, &QComboBox::editTextChanged, this, [this] {
            if (!lblVzdal->text().isEmpty()) {
                lblVzdal->clear();
                lblAzi->clear();
            }
        });
    }
    return page;
}

QWidget *TfrmAziDis::createCoordinatesPage()
{
    auto *page = new QWidget;
    const auto row = [this, page](QLineEdit *&d, QLineEdit *&m, QLineEdit *&s, QLineEdit *&o, int n,
                                  const QString &side) {
        d = makeCoordinateEdit(n == 1 ? "edtD1" : "edtD2", 3);
        m = makeCoordinateEdit(n == 1 ? "edtM1" : "edtM2", 2);
        s = makeCoordinateEdit(n == 1 ? "edtS1" : "edtS2", 2);
        o = makeCoordinateEdit(n == 1 ? "edtO1" : "edtO2", 1);
        o->setText(side);
        auto *panel = new QFrame(page);
        panel->setFrameShape(QFrame::StyledPanel);
        auto *layout = new QHBoxLayout(panel);
        layout->setContentsMargins(2, 1, 2, 1);
        layout->setSpacing(1);
        layout->addWidget(d);
        layout->addWidget(new QLabel(QStringLiteral("°"), panel));
        layout->addWidget(m);
        layout->addWidget(new QLabel(QStringLiteral("'"), panel));
        layout->addWidget(s);
        layout->addWidget(new QLabel(QStringLiteral("''"), panel));
        layout->addWidget(o);
        return panel;
    };
    auto *input = new QGroupBox(QStringLiteral("Vstupní hodnoty"), page);
    auto *inputForm = new QFormLayout(input);
    inputForm->addRow(QStringLiteral("Zeměpisná šířka:"), row(edtD1, edtM1, edtS1, edtO1, 1, QStringLiteral("S")));
    inputForm->addRow(QStringLiteral("Zeměpisná délka:"), row(edtD2, edtM2, edtS2, edtO2, 2, QStringLiteral("V")));
    for (QLineEdit *edit : {edtD1, edtM1, edtS1, edtD2, edtM2, edtS2})
        static_cast<TFilteredLineEdit *>(edit)->setKeyFilter([](QChar &key) { DigitKeyFilter(key); });
    static_cast<TFilteredLineEdit *>(edtO1)->setKeyFilter([](QChar &key) {
        key = key.toUpper();
        if (key != u'S' && key != u'J')
            key = KeyNull;
    });
    static_cast<TFilteredLineEdit *>(edtO2)->setKeyFilter([](QChar &key) {
        key = key.toUpper();
        if (key != u'V' && key != u'Z')
            key = KeyNull;
    });
    lblLocRes = resultLabel("lblLocRes", page);
    auto *result = new QGroupBox(QStringLiteral("Výsledek"), page);
    auto *resultForm = new QFormLayout(result);
    resultForm->addRow(QStringLiteral("Lokátor:"), lblLocRes);
    auto *layout = new QHBoxLayout(page);
    layout->addWidget(input);
    layout->addWidget(result);
    return page;
}

QWidget *TfrmAziDis::createLocatorPage()
{
    auto *page = new QWidget;
    cbBoxLoc1 = makeLocatorBox("cbBoxLoc1");
    lblDelka = resultLabel("lblDelka", page);
    lblSirka = resultLabel("lblSirka", page);
    auto *input = new QGroupBox(QStringLiteral("Vstupní hodnoty"), page);
    auto *inputForm = new QFormLayout(input);
    inputForm->addRow(QStringLiteral("Lokátor:"), cbBoxLoc1);
    auto *result = new QGroupBox(QStringLiteral("Výsledek (střed čtverce)"), page);
    auto *resultForm = new QFormLayout(result);
    resultForm->addRow(QStringLiteral("Zeměpisná délka:"), lblDelka);
    resultForm->addRow(QStringLiteral("Zeměpisná šířka:"), lblSirka);
    auto *layout = new QHBoxLayout(page);
    layout->addWidget(input);
    layout->addWidget(result);
    return page;
}

void TfrmAziDis::AddLoc(QComboBox *box)
{
    const QString text = box->currentText();
    if (isFullLocator(text) && box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
        const QSignalBlocker blocker(box);
        box->addItem(text);
        box->setEditText(text);
    }
}

void TfrmAziDis::actVypocetExecute()
{
    switch (pgControl->currentIndex()) {
    case 0: {
        const QString own = cbBoxLocVl->currentText();
        const QString target = cbBoxLoc->currentText();
        if (!isFullLocator(own) || !isFullLocator(target)) {
            lblVzdal->clear();
            lblAzi->clear();
            return;
        }
        AddLoc(cbBoxLoc);
        lblVzdal->setText(QStringLiteral("%1 km").arg(DistanceFromOwnLocator(own, target, 0, 0)));
        lblAzi->setText(QStringLiteral("%1°").arg(AzimuthFromOwnLocator(own, target, 0, 0)));
        cbBoxLoc->setFocus();
        cbBoxLoc->lineEdit()->selectAll();
        return;
    }
    case 1: {
        const bool valid = CheckLatDegrees(edtD1->text(), edtD1) && CheckMinSec(edtM1->text(), edtM1) &&
                           CheckMinSec(edtS1->text(), edtS1) && CheckLonDegrees(edtD2->text(), edtD2) &&
                           CheckMinSec(edtM2->text(), edtM2) && CheckMinSec(edtS2->text(), edtS2);
        if (!valid) {
            lblLocRes->clear();
            return;
        }
        double lat = edtD1->text().toInt() + edtM1->text().toInt() / 60.0 + edtS1->text().toInt() / 3600.0;
        if (edtO1->text() == u"J")
            lat = -lat;
        double lon = edtD2->text().toInt() + edtM2->text().toInt() / 60.0 + edtS2->text().toInt() / 3600.0;
        if (edtO2->text() == u"Z")
            lon = -lon;
        lblLocRes->setText(LonLatToLocator(lon, lat));
        edtD1->setFocus();
        edtD1->selectAll();
        return;
    }
    case 2: {
        const QString loc = cbBoxLoc1->currentText();
        if (!isFullLocator(loc)) {
            lblDelka->clear();
            lblSirka->clear();
            return;
        }
        double lon = 0, lat = 0;
        LocatorToLonLat(loc, lon, lat);
        lblDelka->setText(DegToDMS(false, lon));
        lblSirka->setText(DegToDMS(true, lat));
        AddLoc(cbBoxLoc1);
        cbBoxLoc1->setFocus();
        cbBoxLoc1->lineEdit()->selectAll();
        return;
    }
    default:
        return;
    }
}

void TfrmAziDis::pgControlChange()
{
    switch (pgControl->currentIndex()) {
    case 0:
        cbBoxLoc->setFocus();
        break;
    case 1:
        edtD1->setFocus();
        break;
    default:
        cbBoxLoc1->setFocus();
        break;
    }
}

bool TfrmAziDis::locatorKey(QComboBox *box, QKeyEvent *key)
{
    if (key->key() == Qt::Key_Space) {
        if (box->view()->isVisible())
            box->hidePopup();
        else
            box->showPopup();
        return true;
    }
    if (box->view()->isVisible())
        box->hidePopup();
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        actVypocetExecute();
        return true;
    }
    return false;
}

void TfrmAziDis::moveFocus(QLineEdit *edit, bool next)
{
    QWidget *target = next ? edit->nextInFocusChain() : edit->previousInFocusChain();
    while (target && target != edit && !(target->focusPolicy() & Qt::TabFocus))
        target = next ? target->nextInFocusChain() : target->previousInFocusChain();
    if (target)
        target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool TfrmAziDis::coordinateKey(QLineEdit *edit, QKeyEvent *key)
{
    switch (key->key()) {
    case Qt::Key_Right:
        if (edit->hasSelectedText()) {
            edit->deselect();
            edit->setCursorPosition(0);
            return true;
        }
        if (edit->cursorPosition() == edit->text().size()) {
            moveFocus(edit, true);
            return true;
        }
        return false;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!edit->text().isEmpty())
            moveFocus(edit, true);
        return true;
    case Qt::Key_Left:
        if (edit != edtD1 && edit->cursorPosition() == 0 && !edit->hasSelectedText()) {
            moveFocus(edit, false);
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool TfrmAziDis::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        for (QComboBox *box : std::as_const(m_locatorBoxes)) {
            if (watched == box->view() && key->key() == Qt::Key_Space) {
                box->hidePopup();
                return true;
            }
        }
        for (QComboBox *box : std::as_const(m_locatorBoxes))
            if (IsComboEventOf(watched, box))
                return locatorKey(box, key) || QDialog::eventFilter(watched, event);
        if (auto *edit = qobject_cast<QLineEdit *>(watched); edit && m_coordinateEdits.contains(edit))
            return coordinateKey(edit, key) || QDialog::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusOut) {
        // Leaving a locator box of the distance page lists its locator.
        for (QComboBox *box : {cbBoxLoc, cbBoxLocVl})
            if (IsComboEventOf(watched, box))
                AddLoc(box);
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmAziDis::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    MinimizeProgramInstead(this, event, VisibleMainWindow());
}

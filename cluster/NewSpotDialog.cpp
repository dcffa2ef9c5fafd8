#include "NewSpotDialog.h"

#include "base/Messages.h"
#include "radio/Kontrola.h"
#include "WendraConsts.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TfrmWendraNewSpot::TfrmWendraNewSpot(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmWendraNewSpot"));
    setWindowTitle(QStringLiteral("Nový spot"));
    setWindowFlags(windowFlags() | Qt::MSWindowsFixedSizeDialogHint);

    edtCall = new QLineEdit(this);
    edtCall->setObjectName(QStringLiteral("edtCall"));
    cbBoxFreq = new QComboBox(this);
    cbBoxFreq->setObjectName(QStringLiteral("cbBoxFreq"));
    cbBoxFreq->setEditable(true);
    cbBoxFreq->setInsertPolicy(QComboBox::NoInsert);
    edtNote = new QLineEdit(this);
    edtNote->setObjectName(QStringLiteral("edtNote"));
    edtNote->setMaxLength(MaxNoteLength);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Značka:"), edtCall);
    auto *freqRow = new QHBoxLayout;
    freqRow->addWidget(cbBoxFreq, 1);
    freqRow->addWidget(new QLabel(QStringLiteral("MHz"), this));
    form->addRow(QStringLiteral("Frekvence:"), freqRow);
    form->addRow(QStringLiteral("Poznámka:"), edtNote);

    actOk = new QAction(QStringLiteral("OK"), this);
    actOk->setObjectName(QStringLiteral("actOk"));
    actOk->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    actCancel = new QAction(QStringLiteral("Zrušit"), this);
    actCancel->setObjectName(QStringLiteral("actCancel"));
    actCancel->setShortcut(QKeySequence(Qt::Key_Escape));
    addActions({actOk, actCancel});
    connect(actOk, &QAction::triggered, this, &TfrmWendraNewSpot::actOkExecute);
    connect(actCancel, &QAction::triggered, this, &TfrmWendraNewSpot::reject);

    // No default button: a plain Enter in a field must not close the dialog, OK is Ctrl+Enter.
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto button = [this, buttons](const QString &caption, const char *name, QAction *action) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setDefault(false);
        connect(b, &QPushButton::clicked, action, &QAction::trigger);
        buttons->addWidget(b);
    };
    button(QStringLiteral("OK"), "btnOk", actOk);
    button(QStringLiteral("Zrušit"), "btnCancel", actCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    edtCall->setFocus();
}

void TfrmWendraNewSpot::reject()
{
    done(mrCancel);
}

void TfrmWendraNewSpot::actOkExecute()
{
    // The cluster passes on whatever it gets: a spot is checked before it leaves, and the
    // dialog stays open on the field to mend.
    if (!CheckCall(edtCall->text(), edtCall))
        return;
    const QString problem = SpotFrequencyProblem(cbBoxFreq->currentText());
    if (!problem.isEmpty()) {
        ShowErrorAndFocus(problem, cbBoxFreq);
        return;
    }
    done(mrOk);
}

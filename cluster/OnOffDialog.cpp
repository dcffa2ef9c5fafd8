#include "OnOffDialog.h"

#include "base/Messages.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmOnOff::TfrmOnOff(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOnOff"));
    setWindowTitle(QStringLiteral("Nastavení"));
    setWindowFlags(windowFlags() | Qt::MSWindowsFixedSizeDialogHint);

    lblText = new QLabel(this);
    lblText->setObjectName(QStringLiteral("lblText"));
    rbOn = new QRadioButton(QStringLiteral("Zapnout"), this);
    rbOn->setObjectName(QStringLiteral("rbOn"));
    rbOn->setChecked(true);
    rbOff = new QRadioButton(QStringLiteral("Vypnout"), this);
    rbOff->setObjectName(QStringLiteral("rbOff"));

    actOk = new QAction(QStringLiteral("Nastavit"), this);
    actOk->setObjectName(QStringLiteral("actOk"));
    actCancel = new QAction(QStringLiteral("Zrušit"), this);
    actCancel->setObjectName(QStringLiteral("actCancel"));
    connect(actOk, &QAction::triggered, this, [this] { done(mrOk); });
    connect(actCancel, &QAction::triggered, this, &TfrmOnOff::reject);

    auto *buttons = new QDialogButtonBox(this);
    auto *ok = buttons->addButton(QStringLiteral("Nastavit"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setDefault(true);
    auto *cancel = buttons->addButton(QStringLiteral("Zrušit"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(ok, &QPushButton::clicked, actOk, &QAction::trigger);
    connect(cancel, &QPushButton::clicked, actCancel, &QAction::trigger);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblText);
    layout->addWidget(rbOn);
    layout->addWidget(rbOff);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmOnOff::reject()
{
    done(mrCancel);
}

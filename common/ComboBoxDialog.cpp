#include "ComboBoxDialog.h"

#include "ActionButton.h"
#include "base/Messages.h"
#include "ModalRunner.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmComboBox::TfrmComboBox(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmComboBox"));
    setWindowTitle(QStringLiteral("Výběr"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    lblText = new QLabel(this);
    lblText->setObjectName(QStringLiteral("lblText"));
    ComboBox = new QComboBox(this);
    ComboBox->setObjectName(QStringLiteral("ComboBox"));
    ComboBox->setMaxVisibleItems(15);
    ComboBox->setInsertPolicy(QComboBox::NoInsert);
    lblText->setBuddy(ComboBox);

    actOk = new QAction(QStringLiteral("Ok"), this);
    actOk->setObjectName(QStringLiteral("actOk"));
    connect(actOk, &QAction::triggered, this, [this] { done(mrOk); });
    actCancel = new QAction(QStringLiteral("Zrušit"), this);
    actCancel->setObjectName(QStringLiteral("actCancel"));
    connect(actCancel, &QAction::triggered, this, [this] { done(mrCancel); });

    auto *btnOk = MakeActionButton(actOk, "btnOk", this);
    btnOk->setDefault(true);
    auto *btnCancel = MakeActionButton(actCancel, "btnCancel", this);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblText);
    layout->addWidget(ComboBox);
    layout->addLayout(buttons);
    setMinimumWidth(260);
}

int TfrmComboBox::ShowModal(const QString &caption, const QString &text, TStyle style)
{
    setWindowTitle(caption);
    lblText->setText(text);
    applyStyle(style);
    return RunModal(*this);
}

void TfrmComboBox::applyStyle(TStyle style)
{
    // Qt has no separate "simple" style: an edit line whose list does not drop down is
    // the closest, and the caller reads its text either way.
    ComboBox->setEditable(style != csDropDownList);
    if (style == csSimple)
        ComboBox->setMaxVisibleItems(ComboBox->count() > 0 ? 15 : 1);
}

void TfrmComboBox::reject()
{
    done(mrCancel);
}

void TfrmComboBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    CentreOnOwner(this, parentWidget());
}

#include "RestoreDialog.h"

#include "base/Messages.h"
#include "WindowPlacement.h"

#include <QAction>
#include <array>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QColor ValueColour{0x80, 0x00, 0x00}; // maroon

} // namespace

TfrmBackUpDlg::TfrmBackUpDlg(QWidget *centreOn)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_centreOn(centreOn)
{
    setObjectName(QStringLiteral("frmBackUpDlg"));
    setWindowTitle(QStringLiteral("Obnova deníku"));

    pnlTitle = new QWidget;
    pnlTitle->setObjectName(QStringLiteral("pnlTitle"));
    pnlTitle->setAutoFillBackground(true);
    QPalette titlePalette = pnlTitle->palette();
    titlePalette.setColor(QPalette::Window, Qt::white);
    titlePalette.setColor(QPalette::WindowText, Qt::black);
    pnlTitle->setPalette(titlePalette);
    auto *title = new QLabel(QStringLiteral("Všechna data v deníku budou přepsána!!  Chcete pokračovat?"));
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto *titleLayout = new QHBoxLayout(pnlTitle);
    titleLayout->setContentsMargins(12, 14, 12, 14);
    titleLayout->addWidget(title);

    auto value = [](const char *name) {
        auto *label = new QLabel;
        label->setObjectName(QString::fromLatin1(name));
        label->setFixedWidth(330);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, ValueColour);
        label->setPalette(palette);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    lblFile = value("lblFile");
    lblCall = value("lblCall");
    lblDate = value("lblDate");
    lblTime = value("lblTime");
    // A long path is broken over lines rather than cut.
    lblFile->setWordWrap(true);

    auto *rows = new QGridLayout;
    rows->setContentsMargins(12, 8, 12, 8);
    const std::array<std::pair<const char *, QLabel *>, 4> captions{
        {{"Soubor:", lblFile}, {"Značka:", lblCall}, {"Datum:", lblDate}, {"Čas:", lblTime}}};
    for (int r = 0; r < int(captions.size()); ++r) {
        rows->addWidget(new QLabel(QString::fromUtf8(captions[r].first)), r, 0, Qt::AlignTop);
        rows->addWidget(captions[r].second, r, 1);
    }

    actOk = new QAction(QStringLiteral("Pokračovat"), this);
    actOk->setObjectName(QStringLiteral("actOk"));
    actCancel = new QAction(QStringLiteral("Zrušit"), this);
    actCancel->setObjectName(QStringLiteral("actCancel"));
    actCancel->setShortcut(QKeySequence(Qt::Key_Escape));
    addAction(actOk);
    addAction(actCancel);
    connect(actOk, &QAction::triggered, this, [this] { done(mrOk); });
    connect(actCancel, &QAction::triggered, this, &TfrmBackUpDlg::reject);

    auto *btnOk = new QPushButton(actOk->text());
    btnOk->setObjectName(QStringLiteral("btnOk"));
    auto *btnCancel = new QPushButton(actCancel->text());
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setDefault(true); // Enter does not overwrite a log by mistake
    btnOk->setAutoDefault(false);
    connect(btnOk, &QPushButton::clicked, actOk, &QAction::trigger);
    connect(btnCancel, &QPushButton::clicked, actCancel, &QAction::trigger);
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(12, 0, 12, 10);
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pnlTitle);
    layout->addLayout(rows);
    layout->addLayout(buttons);
}

void TfrmBackUpDlg::reject()
{
    done(mrCancel);
}

void TfrmBackUpDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    CentreOnOwner(this, m_centreOn);
}

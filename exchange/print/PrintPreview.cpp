#include "print/PrintPreview.h"

#include "base/Messages.h"
#include "MinimizeProgram.h"
#include "report/ReportPreview.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

TfrmNahled::TfrmNahled(QWidget *mainWindow) : QDialog(nullptr), m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("frmNahled"));
    setWindowTitle(QStringLiteral("Náhled"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setWindowState(Qt::WindowMaximized);
    resize(900, 700); // the size when the operator restores the window

    actFirst = newAction("actFirst", QStringLiteral("První"), QString(), QStyle::SP_MediaSkipBackward);
    actPrior = newAction("actPrior", QStringLiteral("Předchozí"), QStringLiteral("Předchozí strana"),
                         QStyle::SP_MediaSeekBackward);
    actNext = newAction("actNext", QStringLiteral("Další"), QStringLiteral("Další strana"),
                        QStyle::SP_MediaSeekForward);
    actLast = newAction("actLast", QStringLiteral("Poslední"), QString(), QStyle::SP_MediaSkipForward);
    actZoomOut = newAction("actZoomOut", QStringLiteral("Zmenšit"), QStringLiteral("Oddálit pohled"),
                           QStyle::SP_ArrowDown);
    actZoomIn = newAction("actZoomIn", QStringLiteral("Zvětšit"), QStringLiteral("Přiblížit pohled"),
                          QStyle::SP_ArrowUp);
    actZavrit = newAction("actZavrit", QStringLiteral("Zavřít"), QString(), QStyle::SP_DialogCloseButton);
    for (QAction *action : {actFirst, actPrior, actNext, actLast})
        connect(action, &QAction::triggered, this, [this, action] { actStranaExecute(action); });
    for (QAction *action : {actZoomOut, actZoomIn})
        connect(action, &QAction::triggered, this, [this, action] { actZoomExecute(action); });
    connect(actZavrit, &QAction::triggered, this, [this] { done(mrCancel); });

    tlBar = new QToolBar(this);
    tlBar->setObjectName(QStringLiteral("tlBar"));
    tlBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tlBar->addActions({actFirst, actPrior, actNext, actLast});
    tlBar->addSeparator();
    tlBar->addActions({actZoomOut, actZoomIn});
    tlBar->addSeparator();
    tlBar->addAction(actZavrit);

    RvPreview = new TRvPreview;
    RvPreview->SetZoomInc(25);
    RvPreview->SetZoomFactor(100);
    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setBackgroundRole(QPalette::Dark);
    ScrollBox->setAlignment(Qt::AlignCenter);
    ScrollBox->setWidget(RvPreview);
    ScrollBox->setFocusPolicy(Qt::NoFocus); // the arrow keys page, they do not scroll
    connect(RvPreview, &TRvPreview::pageChange, this, &TfrmNahled::RvPreviewPageChange);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    lblPage = new QLabel(StatusBar);
    lblPage->setObjectName(QStringLiteral("lblPage"));
    lblPage->setFixedWidth(100);
    StatusBar->addWidget(lblPage);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tlBar);
    layout->addWidget(ScrollBox, 1);
    layout->addWidget(StatusBar);
    RvPreviewPageChange();
}

QString TfrmNahled::PageCounter(int page, int pageCount)
{
    // The current page left-aligned and the count right-aligned, three places each.
    return QStringLiteral("Strana %1 z %2").arg(page, -3).arg(pageCount, 3);
}

QAction *TfrmNahled::newAction(const char *name, const QString &caption, const QString &hint,
                               QStyle::StandardPixmap icon)
{
    auto *action = new QAction(style()->standardIcon(icon), caption, this);
    action->setObjectName(QLatin1String(name));
    if (!hint.isEmpty()) {
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
    return action;
}

void TfrmNahled::actStranaExecute(QAction *sender)
{
    if (sender == actFirst)
        RvPreview->RenderPage(1);
    else if (sender == actLast)
        RvPreview->RenderPage(RvPreview->PageCount());
    else if (sender == actPrior)
        RvPreview->PrevPage();
    else if (sender == actNext)
        RvPreview->NextPage();
}

void TfrmNahled::actZoomExecute(QAction *sender)
{
    if (sender == actZoomIn)
        RvPreview->ZoomIn();
    else if (RvPreview->ZoomFactor() > 25)
        RvPreview->ZoomOut();
}

void TfrmNahled::RvPreviewPageChange()
{
    const int page = RvPreview->CurrentPage();
    const int count = RvPreview->PageCount();
    lblPage->setText(PageCounter(page, count));
    actFirst->setEnabled(page > 1);
    actPrior->setEnabled(page > 1);
    actNext->setEnabled(page < count);
    actLast->setEnabled(page < count);
}

void TfrmNahled::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up) {
        if (RvPreview->CurrentPage() > 1)
            RvPreview->PrevPage();
    } else if (event->key() == Qt::Key_Down) {
        if (RvPreview->CurrentPage() < RvPreview->PageCount())
            RvPreview->NextPage();
    } else {
        QDialog::keyPressEvent(event);
    }
}

void TfrmNahled::changeEvent(QEvent *event)
{
    if (!MinimizeProgramInstead(this, event, m_mainWindow))
        QDialog::changeEvent(event);
}

void TfrmNahled::reject()
{
    done(mrCancel);
}

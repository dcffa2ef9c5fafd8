#include "ProgressDialog.h"
#include "WindowPlacement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace
{

const QColor FillColour(198, 211, 239); // light blue, as the sorted grid titles
constexpr int FrameWidth = 3;

} // namespace

TfrmDialog::TfrmDialog(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint), m_mainWindow(mainWindow),
      m_lblText(new QLabel(this)), m_pgBar(new QProgressBar(this)), m_btn(new QPushButton(this))
{
    setObjectName(QStringLiteral("frmDialog"));
    setFixedSize(250, 98);
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    m_lblText->setObjectName(QStringLiteral("lblText"));
    m_lblText->setGeometry(16, 8, 217, 41);
    m_lblText->setAlignment(Qt::AlignCenter);
    m_lblText->setWordWrap(true);
    m_lblText->setAttribute(Qt::WA_TranslucentBackground);

    m_pgBar->setObjectName(QStringLiteral("pgBar"));
    m_pgBar->setGeometry(16, 62, 217, 17);
    m_pgBar->setRange(0, 100);
    m_pgBar->setValue(0);
    m_pgBar->setAlignment(Qt::AlignCenter);
    QPalette bar = m_pgBar->palette();
    bar.setColor(QPalette::Highlight, QColor(0, 0, 128)); // navy
    bar.setColor(QPalette::HighlightedText, Qt::white);
    m_pgBar->setPalette(bar);
    m_pgBar->hide();

    m_btn->setObjectName(QStringLiteral("Btn"));
    m_btn->setGeometry((250 - 75) / 2, 58, 75, 25);
    m_btn->setText(QStringLiteral("OK"));
    m_btn->hide();
    connect(m_btn, &QPushButton::clicked, this, &TfrmDialog::btnClick);
}

void TfrmDialog::ShowInfo(const QString &text)
{
    m_btn->hide();
    m_pgBar->hide();
    m_lblText->setText(text);
    showNow();
}

void TfrmDialog::ShowProgress(const QString &text, int minimum, int maximum)
{
    m_btn->hide();
    // A range without span would make the gauge an endless busy animation.
    m_pgBar->setRange(minimum, std::max(maximum, minimum + 1));
    SetProgress(0);
    m_pgBar->show();
    m_lblText->setText(text);
    showNow();
}

void TfrmDialog::ShowWithButton(const QString &text, const QString &caption, ButtonHandler handler)
{
    m_btn->setText(caption);
    m_handler = std::move(handler);
    m_btn->show();
    m_lblText->setText(text);
    m_pgBar->hide();
    showNow();
}

void TfrmDialog::SetText(const QString &text)
{
    m_lblText->setText(text);
    repaint();
}

void TfrmDialog::SetProgress(int value)
{
    // The gauge refuses values outside its range; it shows them at its nearest end. It
    // paints itself at once whenever the change shows.
    m_pgBar->setValue(std::clamp(value, m_pgBar->minimum(), m_pgBar->maximum()));
}

std::function<void(int)> TfrmDialog::ProgressCallback()
{
    return [this](int value) { SetProgress(value); };
}

void TfrmDialog::Zavrit()
{
    close();
}

void TfrmDialog::btnClick()
{
    if (!m_handler) {
        Zavrit();
        return;
    }
    // A copy: the handler may close the window, which clears m_handler.
    const ButtonHandler handler = m_handler;
    handler();
}

void TfrmDialog::closeEvent(QCloseEvent *event)
{
    // A handler given by one caller must never fire for the next one.
    m_handler = {};
    m_pgBar->hide();
    m_btn->hide();
    event->accept();
}

void TfrmDialog::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), FillColour);
    QPen pen(Qt::black, FrameWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const int inset = FrameWidth / 2;
    painter.drawRect(rect().adjusted(inset, inset, -inset - 1, -inset - 1));
}

void TfrmDialog::showNow()
{
    CentreOnOwner(this, m_mainWindow);
    show();
    // Let the window system map the window; user input waits for the event loop.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
    repaintMainWindow();
}

void TfrmDialog::repaintMainWindow()
{
    if (m_mainWindow && m_mainWindow->isVisible())
        m_mainWindow->repaint();
}

#include "About.h"

#include "base/Messages.h"
#include "ModalRunner.h"
#include "VelkorVersion.h"
#include "WindowPlacement.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QUrl>

#include <algorithm>

const char *const AboutAuthorship = "© 2006-2007 autoři programu Velkor – staniční deník radioamatéra";
const char *const AboutEMail = "velkor@example.org";
const char *const AboutWeb = "https://velkor.example.org";

namespace
{

const QColor LinkColour(0x24, 0x0C, 0xB3);
const QColor LinkHoverColour(0x00, 0x00, 0xFF);
const QColor Background(0xFA, 0xF9, 0xF6);
const QColor Border(0x46, 0x52, 0x66);
constexpr int TextLeft = 166;
constexpr int ValueLeft = 224;
constexpr int TextWidth = 222;

QFont labelFont(int points, bool bold = false)
{
    QFont font(QStringLiteral("Arial"), points);
    font.setBold(bold);
    return font;
}

} // namespace

// The picture lives in the library's resources, which a static library registers itself.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

TfrmAbout::TfrmAbout(QWidget *centreOver)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint), m_centreOver(centreOver),
      m_imgLogo(new QLabel(this)), m_pgBar(new QProgressBar(this))
{
    initResources();
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("O programu"));
    setFixedSize(400, 250);
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    m_imgLogo->setObjectName(QStringLiteral("ImgLogo"));
    const QPixmap picture(QStringLiteral(":/logbook/resources/about.jpg"));
    m_imgLogo->setPixmap(picture);
    m_imgLogo->setGeometry(QRect(QPoint(0, 0), picture.size()));
    m_imgLogo->installEventFilter(this);

    QLabel *title = addLabel(QStringLiteral("Radioamatérský deník"), QRect(TextLeft, 16, TextWidth, 28));
    title->setObjectName(QStringLiteral("Label1"));
    title->setFont(labelFont(12, true));
    addLabel(QStringLiteral("Verze:"), QRect(TextLeft, 54, 56, 18))
        ->setObjectName(QStringLiteral("lblVersionTT"));
    m_lblVersion = addLabel(QStringLiteral("ver"), QRect(ValueLeft, 54, TextWidth - 58, 18));
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_lblVersion->setFont(labelFont(9, true));
    m_lblAuthor = addLabel(QString(), QRect(TextLeft, 80, TextWidth, 46));
    m_lblAuthor->setObjectName(QStringLiteral("lblAuthor"));
    m_lblAuthor->setWordWrap(true);
    m_lblAuthor->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(TextLeft, 134, TextWidth, 4);

    addLabel(QStringLiteral("E-Mail:"), QRect(TextLeft, 146, 56, 18))
        ->setObjectName(QStringLiteral("lblEMailT"));
    m_lblEMail = addLink(QRect(ValueLeft, 146, TextWidth - 58, 18));
    m_lblEMail->setObjectName(QStringLiteral("lblEMail"));
    addLabel(QStringLiteral(" W W W:"), QRect(TextLeft, 168, 56, 18))
        ->setObjectName(QStringLiteral("lblWWWT"));
    m_lblWWW = addLink(QRect(ValueLeft, 168, TextWidth - 58, 18));
    m_lblWWW->setObjectName(QStringLiteral("lblWWW"));

    m_pgBar->setObjectName(QStringLiteral("pgBar"));
    m_pgBar->setGeometry(TextLeft, 216, TextWidth, 12);
    m_pgBar->setTextVisible(false);
    m_pgBar->setRange(0, 5);
    m_pgBar->setStyleSheet(QStringLiteral("QProgressBar { background: #C0C0C0; border: 1px solid #808080; }"
                                          "QProgressBar::chunk { background: #FFFBF0; }"));
    m_pgBar->hide(); // only the splash screen shows it
}

QLabel *TfrmAbout::addLabel(const QString &text, const QRect &geometry, bool closesBox)
{
    auto *label = new QLabel(text, this);
    label->setGeometry(geometry);
    label->setFont(labelFont(9));
    if (closesBox)
        label->installEventFilter(this);
    return label;
}

QLabel *TfrmAbout::addLink(const QRect &geometry)
{
    QLabel *link = addLabel(QString(), geometry, false);
    link->setCursor(Qt::PointingHandCursor);
    link->installEventFilter(this);
    lblLinkMouseLeave(link);
    return link;
}

void TfrmAbout::SetInfo(const QString &version, const QString &author, const QString &email,
                        const QString &web)
{
    m_lblVersion->setText(version);
    m_lblAuthor->setText(author);
    m_lblEMail->setText(email);
    m_lblEMail->setToolTip(QStringLiteral("mailto:") + email);
    m_lblWWW->setText(web);
    m_lblWWW->setToolTip(web);
}

void TfrmAbout::SetDefaultInfo()
{
    SetInfo(QStringLiteral(VELKOR_VERSION_TEXT), QString::fromUtf8(AboutAuthorship),
            QString::fromUtf8(AboutEMail), QString::fromUtf8(AboutWeb));
}

void TfrmAbout::InitProgress(int minimum, int maximum, bool visible)
{
    m_pgBar->setRange(minimum, maximum);
    m_pgBar->setValue(minimum);
    m_pgBar->setVisible(visible);
}

void TfrmAbout::SetProgress(int value)
{
    m_pgBar->setValue(std::clamp(value, m_pgBar->minimum(), m_pgBar->maximum()));
    repaint();
}

int TfrmAbout::ShowAbout(bool enabled, bool modal)
{
    // Not setEnabled(): that would grey the whole picture while it is the splash screen.
    m_acceptsInput = enabled;
    centre();
    if (modal)
        return RunModal(*this);
    show();
    // Let the window system map the window before the start-up work goes on.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
    return mrNone;
}

void TfrmAbout::centre()
{
    CentreOnOwner(this, m_centreOver);
}

bool TfrmAbout::eventFilter(QObject *watched, QEvent *event)
{
    auto *link = qobject_cast<QLabel *>(watched);
    const bool isLink = link && (link == m_lblEMail || link == m_lblWWW);
    switch (event->type()) {
    case QEvent::Enter:
        if (isLink)
            lblLinkMouseEnter(link);
        break;
    case QEvent::Leave:
        if (isLink)
            lblLinkMouseLeave(link);
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton || !m_acceptsInput)
            break;
        if (isLink)
            lblLinkClick(link);
        else
            MouseClick();
        return true;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmAbout::lblLinkClick(QLabel *link)
{
    QDesktopServices::openUrl(QUrl(link->toolTip()));
}

void TfrmAbout::lblLinkMouseEnter(QLabel *link)
{
    QFont font = link->font();
    font.setUnderline(true);
    link->setFont(font);
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, LinkHoverColour);
    link->setPalette(palette);
}

void TfrmAbout::lblLinkMouseLeave(QLabel *link)
{
    QFont font = link->font();
    font.setUnderline(false);
    link->setFont(font);
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, LinkColour);
    link->setPalette(palette);
}

void TfrmAbout::MouseClick()
{
    done(mrOk);
}

void TfrmAbout::keyPressEvent(QKeyEvent *event)
{
    // Any key ends the box; the splash screen ignores keys (also Escape).
    if (m_acceptsInput)
        done(mrOk);
    event->accept();
}

void TfrmAbout::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Background);
    painter.setPen(Border);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

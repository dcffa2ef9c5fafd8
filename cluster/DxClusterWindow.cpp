#include "DxClusterWindow.h"

#include "radio/CharSet.h"
#include "ComboKeys.h"
#include "system/ClusterLinkRecords.h"
#include "system/LocalEndpoint.h"
#include "base/Messages.h"
#include "system/SingleInstance.h"
#include "TerminalRules.h"
#include "TerminalView.h"
#include "WendraConsts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace
{

const QByteArray LogoutCommand = QByteArrayLiteral("b");

// The local time and date as the PC's settings write them (the long time form without
// the time zone name).
QString timeAndDate()
{
    const QLocale locale = QLocale::system();
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(u't').replace(QStringLiteral("  "), QStringLiteral(" "));
    const QDateTime now = QDateTime::currentDateTime();
    return locale.toString(now.time(), timeFormat.trimmed()) + u' ' +
           locale.toString(now.date(), QLocale::ShortFormat);
}

} // namespace

TfrmDxCluster::TfrmDxCluster(QWidget *parent) : QMainWindow(parent), m_telnet(new TTelnetConnection(this))
{
    setObjectName(QStringLiteral("frmDxCluster"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setMinimumSize(640, 400);
    resize(680, 445);
    createActions();
    createCommandActions();
    createMenus();
    createToolBar();
    createLayout();
    connectTelnet();

    actDisConnect->setEnabled(false);
    setWindowTitle(QStringLiteral("DxCluster"));
    stPanel0->setText(QStringLiteral("Odpojen"));
    SetLoggingIn(true);
    CentreOnScreen();

    connect(qApp, &QApplication::focusChanged, this, &TfrmDxCluster::UpdateEditActions);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TfrmDxCluster::UpdateEditActions);
    connect(seTerminal, &QPlainTextEdit::selectionChanged, this, [this] {
        UpdateEditActions();
        actSearchQRZUpdate();
    });
    connect(cbTerminal->lineEdit(), &QLineEdit::selectionChanged, this, &TfrmDxCluster::UpdateEditActions);
    UpdateEditActions();
}

TfrmDxCluster::~TfrmDxCluster()
{
    // The base class hides the window after this body, which moves the focus and may
    // touch the clipboard: those signals must no longer reach a window half destroyed.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    disconnect(QGuiApplication::clipboard(), nullptr, this, nullptr);
}

void TfrmDxCluster::createActions()
{
    auto make = [this](const char *name, const QString &text, const QString &hint = {}) {
        auto *action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        action->setStatusTip(hint);
        action->setToolTip(hint.isEmpty() ? QString(text).remove(u'&') : hint);
        return action;
    };
    actConnect = make("actConnect", QStringLiteral("&Připojit"), QStringLiteral("Připojit se k DX Clusteru"));
    actDisConnect =
        make("actDisConnect", QStringLiteral("&Odpojit"), QStringLiteral("Odpojit se od DX Clusteru"));
    actExit = make("actExit", QStringLiteral("&Konec"));
    actCopy = make("actCopy", QStringLiteral("&Kopírovat"));
    actCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    actCut = make("actCut", QStringLiteral("&Vyjmout"));
    actCut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    actPaste = make("actPaste", QStringLiteral("V&ložit"));
    actPaste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    actClearTerminal = make("actClearTerminal", QStringLiteral("V&ymazat terminál"),
                            QStringLiteral("Vymaže obsah terminálového okna"));
    actScrollLock = make("actScrollLock", QStringLiteral("&Zmrazit"),
                         QStringLiteral("Zablokuje pohyb kurzoru v okně při příjmu nových dat"));
    actScrollLock->setCheckable(true);
    for (QAction *action : {actCopy, actCut, actPaste})
        action->setShortcutContext(Qt::WindowShortcut);

    connect(actConnect, &QAction::triggered, this, &TfrmDxCluster::actConnectExecute);
    connect(actDisConnect, &QAction::triggered, this, &TfrmDxCluster::actDisConnectExecute);
    connect(actExit, &QAction::triggered, this, &QWidget::close);
    connect(actCopy, &QAction::triggered, this, [this] {
        if (focusWidget() == cbTerminal->lineEdit())
            cbTerminal->lineEdit()->copy();
        else if (focusWidget() == seTerminal)
            seTerminal->copy();
    });
    connect(actCut, &QAction::triggered, this, [this] { cbTerminal->lineEdit()->cut(); });
    connect(actPaste, &QAction::triggered, this, [this] { cbTerminal->lineEdit()->paste(); });
    connect(actClearTerminal, &QAction::triggered, this, [this] { seTerminal->clear(); });
}

void TfrmDxCluster::createMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&Soubor"));
    file->addActions({actConnect, actDisConnect});
    file->addSeparator();
    file->addAction(actExit);
    QMenu *edit = menuBar()->addMenu(QStringLiteral("Úp&ravy"));
    edit->addActions({actCopy, actCut, actPaste});
    edit->addSeparator();
    edit->addAction(actClearTerminal);
    edit->addSeparator();
    edit->addAction(actScrollLock);
    QMenu *command = menuBar()->addMenu(QStringLiteral("&Příkaz"));
    command->addAction(actNewSpot);
    command->addSeparator();
    command->addActions({actShowDx, actShowQSL, actShowQRZ, actShowWWV});
    QMenu *settings = menuBar()->addMenu(QStringLiteral("&Nastavení"));
    settings->addAction(actShowSettings);
    settings->addSeparator();
    settings->addActions({actSetName, actSetQTH, actSetLoc});
    settings->addSeparator();
    settings->addAction(actSetDxGrid);
    settings->addSeparator();
    settings->addActions({actSetAnnounce, actSetWCY, actSetWWV, actSetWX});

    pmTerminal = new QMenu(this);
    pmTerminal->setObjectName(QStringLiteral("pmTerminal"));
    pmTerminal->addAction(actCopy);
    pmTerminal->addSeparator();
    pmTerminal->addAction(actSearchQRZ);
    pmTerminal->addSeparator();
    pmTerminal->addAction(actClearTerminal);
}

void TfrmDxCluster::createToolBar()
{
    tlBar = addToolBar(QStringLiteral("Nástroje"));
    tlBar->setObjectName(QStringLiteral("tlBar"));
    tlBar->setMovable(false);
    tlBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto button = [this](const char *name, QAction *action) {
        auto *b = new QToolButton(tlBar);
        b->setObjectName(QLatin1String(name));
        b->setAutoRaise(true);
        b->setMinimumSize(50, 36);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setDefaultAction(action);
        tlBar->addWidget(b);
        return b;
    };
    tlBtnCD = button("tlBtnCD", actConnect);
    pmShowDx = new QMenu(this);
    pmShowDx->setObjectName(QStringLiteral("pmShowDx"));
    for (int i = 0; i < int(DxBands.size()); ++i) {
        QAction *item = pmShowDx->addAction(QString::fromUtf8(DxBands.at(size_t(i)).Caption));
        item->setObjectName(QStringLiteral("mnItmShowDx%1").arg(i));
        item->setData(i);
        connect(item, &QAction::triggered, this, [this, i] { mnItmShowDxClick(i); });
    }
    tlBtnShowDX = button("tlBtnShowDX", actShowDx);
    tlBtnShowDX->setMenu(pmShowDx);
    tlBtnShowDX->setPopupMode(QToolButton::MenuButtonPopup);
    button("tlBtnScrollLock", actScrollLock);
}

void TfrmDxCluster::createLayout()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    seTerminal = new TTerminalView(central);
    seTerminal->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(seTerminal, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { pmTerminal->popup(seTerminal->viewport()->mapToGlobal(pos)); });
    // The command line spans the window's width, as the terminal does.
    cbTerminal = new QComboBox(central);
    cbTerminal->setObjectName(QStringLiteral("cbTerminal"));
    cbTerminal->setEditable(true);
    cbTerminal->setInsertPolicy(QComboBox::NoInsert);
    cbTerminal->setMaxVisibleItems(15);
    WatchComboKeys(cbTerminal, this);
    layout->addWidget(seTerminal, 1);
    layout->addWidget(cbTerminal);
    setCentralWidget(central);

    stPanel0 = new QLabel(this);
    stPanel0->setObjectName(QStringLiteral("stPanel0"));
    stPanel0->setAlignment(Qt::AlignCenter);
    stPanel0->setFixedWidth(90);
    stPanel1 = new QLabel(this);
    stPanel1->setObjectName(QStringLiteral("stPanel1"));
    stPanel1->setMinimumWidth(50);
    statusBar()->setObjectName(QStringLiteral("stBar"));
    statusBar()->addWidget(stPanel0);
    statusBar()->addWidget(stPanel1, 1);
    cbTerminal->setFocus();
}

void TfrmDxCluster::connectTelnet()
{
    m_loginQuietTimer.setSingleShot(true);
    m_loginQuietTimer.setInterval(TClusterLogin::QuietTimeMs);
    connect(&m_loginQuietTimer, &QTimer::timeout, this, [this] {
        if (m_loggingIn)
            ApplyLoginStep(m_clusterLogin.QuietTimeOut());
    });
    connect(m_telnet, &TTelnetConnection::status, this, &TfrmDxCluster::IdTelnetStatus);
    connect(m_telnet, &TTelnetConnection::dataAvailable, this, &TfrmDxCluster::IdTelnetDataAvailable);
    connect(m_telnet, &TTelnetConnection::connectFailed, this, [this] {
        stPanel0->setText(QStringLiteral("Odpojen"));
        MessageDlgDef(QStringLiteral("Nelze se připojit"), mtError, mbOK, mrOk);
    });
}

void TfrmDxCluster::SetupConnection(const QString &login, const QString &password, const QString &host,
                                    int port, bool maximized, int width, int height)
{
    // The size is the window's inner size, as the close reports it, so that a window keeps
    // its size from run to run; the frame lies around it.
    resize(width, size().height());
    resize(size().width(), height);
    CentreOnScreen();
    if (maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    m_login = login.toLower();
    m_password = password;
    m_telnet->SetHost(host);
    m_telnet->SetPort(port);
    setWindowTitle(QStringLiteral("DxCluster - ") + host);
}

QString TfrmDxCluster::StatusText() const
{
    return stPanel0->text();
}

QString TfrmDxCluster::HintText() const
{
    return stPanel1->text();
}

void TfrmDxCluster::SendCommand(const QString &command)
{
    if (!m_telnet->Connected())
        return;
    m_telnet->WriteLn(UnicodeToWin1250(command));
    m_clusterLogin.OperatorCommandSent();
    AddTerminalLine(QStringLiteral("$") + command);
}

void TfrmDxCluster::AddTerminalLine(const QString &line)
{
    seTerminal->AppendText(line + QStringLiteral("\r\n"), actScrollLock->isChecked());
}

void TfrmDxCluster::IdTelnetStatus(TTelnetConnection::TStatus status)
{
    switch (status) {
    case TTelnetConnection::hsConnecting:
        AddTerminalLine(QString());
        AddTerminalLine(QStringLiteral("#Připojuji se k %1:%2").arg(m_telnet->Host()).arg(m_telnet->Port()));
        stPanel0->setText(QStringLiteral("Připojuji se"));
        break;
    case TTelnetConnection::hsConnected:
        AddTerminalLine(QStringLiteral("#Připojen (%1)").arg(timeAndDate()));
        stPanel0->setText(QStringLiteral("Připojen"));
        m_clusterLogin.Restart(UnicodeToWin1250(m_login));
        SetConnectButtonAction(actDisConnect);
        actConnect->setEnabled(false);
        actDisConnect->setEnabled(true);
        break;
    case TTelnetConnection::hsDisconnected:
        // A line that the node left half sent stays as it came; the status line has its own.
        if (!seTerminal->Line(seTerminal->LineCount() - 1).isEmpty())
            AddTerminalLine(QString());
        AddTerminalLine(QStringLiteral("#Odpojen (%1)").arg(timeAndDate()));
        stPanel0->setText(QStringLiteral("Odpojen"));
        SetConnectButtonAction(actConnect);
        actConnect->setEnabled(true);
        actDisConnect->setEnabled(false);
        m_closeState &= ~csLogoutSent;
        m_loginQuietTimer.stop();
        m_clusterLogin.Restart(UnicodeToWin1250(m_login));
        SetLoggingIn(true);
        if (m_closeState & csCloseAfterDisconnect)
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        break;
    }
}

void TfrmDxCluster::IdTelnetDataAvailable(const QByteArray &block)
{
    if (m_loggingIn) {
        HandleLoginPrompt(block);
        return;
    }
    ShowReceived(block);
    // A slow node may ask the password after the client has taken it as logged in.
    if (m_clusterLogin.AwaitsLatePassword())
        ApplyLoginStep(m_clusterLogin.Feed(block));
}

void TfrmDxCluster::ShowReceived(const QByteArray &block)
{
    m_receiveBuffer = TerminalRules::FilterBlock(block);
    seTerminal->AppendText(Win1250ToUnicode(m_receiveBuffer), actScrollLock->isChecked());
    m_receiveBuffer.clear();
}

void TfrmDxCluster::HandleLoginPrompt(const QByteArray &block)
{
    ApplyLoginStep(m_clusterLogin.Feed(block));
}

void TfrmDxCluster::ApplyLoginStep(const TClusterLogin::TStep &step)
{
    if (step.sendLogin) {
        m_telnet->WriteLn(UnicodeToWin1250(m_login));
        m_loginQuietTimer.start();
    }
    if (step.sendPassword)
        m_telnet->WriteLn(UnicodeToWin1250(m_password));
    if (!step.sendPassword && !step.loggedIn)
        return;
    m_loginQuietTimer.stop();
    SetLoggingIn(false);
    // A node without password: what proved the login is the first text to show.
    if (!step.shown.isEmpty())
        ShowReceived(step.shown);
}

void TfrmDxCluster::actConnectExecute()
{
    m_telnet->Connect();
}

void TfrmDxCluster::actDisConnectExecute()
{
    if (m_closeState & csLogoutSent) {
        m_telnet->Disconnect();
        return;
    }
    m_closeState |= csLogoutSent;
    m_telnet->WriteLn(LogoutCommand);
    AddTerminalLine(QStringLiteral("#Odpojuji se"));
}

void TfrmDxCluster::closeEvent(QCloseEvent *event)
{
    if (m_closeGranted) {
        event->accept();
        return;
    }
    if (m_telnet->Connected()) {
        if (!(m_closeState & csLogoutSent)) {
            // Log out first; the window closes when the server has disconnected.
            event->ignore();
            m_closeState |= csLogoutSent | csCloseAfterDisconnect;
            m_telnet->WriteLn(LogoutCommand);
            AddTerminalLine(QStringLiteral("#Odpojuji se"));
            return;
        }
        m_closeGranted = true;
        m_telnet->Disconnect();
    }
    m_closeGranted = true;
    event->accept();
    ReportWindowSize();
}

void TfrmDxCluster::SetConnectButtonAction(QAction *action)
{
    // A tool button offers every action it holds besides its default one as a menu, with an
    // arrow; this button holds only the one it shows.
    tlBtnCD->removeAction(tlBtnCD->defaultAction());
    tlBtnCD->setDefaultAction(action);
}

void TfrmDxCluster::CentreOnScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame counts once the window has one; until the window manager has put it around
    // the window, the window is centred again as soon as it is there. A window larger than
    // the screen keeps its title bar on it.
    m_centreWhenFramed = frameGeometry().size() == size();
    const QRect area = screen->availableGeometry();
    QRect frame(QPoint(), frameGeometry().size());
    frame.moveCenter(area.center());
    move(std::max(frame.left(), area.left()), std::max(frame.top(), area.top()));
}

void TfrmDxCluster::ReportWindowSize()
{
    // The inner size, which SetupConnection restores; a maximised window reports the size it
    // has when restored.
    const QSize size = isMaximized() && normalGeometry().isValid() ? normalGeometry().size() : this->size();
    TDxClusterWindowData data;
    data.Width = size.width();
    data.Height = size.height();
    data.Maximized = isMaximized();
    // Without a logbook the report goes nowhere; that is no fault.
    TLocalEndpoint::sendCopyData(QString::fromLatin1(TSingleInstance::MainWindowClass), CopyDataTag,
                                 data.encode());
}

bool TfrmDxCluster::event(QEvent *event)
{
    if (m_centreWhenFramed && (event->type() == QEvent::Move || event->type() == QEvent::WindowActivate) &&
        windowState() == Qt::WindowNoState && frameGeometry().size() != size())
        CentreOnScreen();
    // Hints of the control under the mouse go to the second panel of the status bar.
    if (event->type() == QEvent::StatusTip) {
        stPanel1->setText(u' ' + static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool TfrmDxCluster::eventFilter(QObject *watched, QEvent *event)
{
    if (IsComboEventOf(watched, cbTerminal) && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && m_telnet->Connected()) {
            edtTxEnter();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmDxCluster::edtTxEnter()
{
    const QString text = cbTerminal->currentText();
    if (text.isEmpty())
        return;
    // The node would take the text as the call or the password; it stays in the box.
    if (m_loggingIn) {
        AddTerminalLine(QStringLiteral("#Příkaz neodeslán, přihlášení ještě neskončilo"));
        return;
    }
    SendCommand(text);
    m_history.Add(text);
    cbTerminal->clear();
    cbTerminal->addItems(m_history.Entries());
    cbTerminal->setCurrentIndex(-1);
    cbTerminal->setEditText(QString());
}

void TfrmDxCluster::SetLoggingIn(bool loggingIn)
{
    m_loggingIn = loggingIn;
    actUpdateIfLoggin();
    actSearchQRZUpdate();
}

void TfrmDxCluster::actUpdateIfLoggin()
{
    for (QAction *action :
         {actNewSpot, actShowDx, actShowQSL, actShowQRZ, actShowWWV, actShowSettings, actSetName, actSetQTH,
          actSetLoc, actSetDxGrid, actSetAnnounce, actSetWCY, actSetWWV, actSetWX})
        action->setEnabled(!m_loggingIn);
}

void TfrmDxCluster::actSearchQRZUpdate()
{
    actSearchQRZ->setEnabled(!m_loggingIn && TerminalRules::IsSearchableCall(seTerminal->SelectedText()));
}

void TfrmDxCluster::UpdateEditActions()
{
    QWidget *focused = focusWidget();
    QLineEdit *line = cbTerminal->lineEdit();
    const bool lineFocused = focused == line || focused == cbTerminal;
    const bool terminalFocused = focused == seTerminal;
    actCopy->setEnabled((lineFocused && line->hasSelectedText()) ||
                        (terminalFocused && seTerminal->SelectionLength() > 0));
    actCut->setEnabled(lineFocused && line->hasSelectedText());
    const QMimeData *clip = QGuiApplication::clipboard()->mimeData();
    actPaste->setEnabled(lineFocused && clip && clip->hasText());
}

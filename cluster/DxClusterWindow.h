#pragma once
// The client's only window: the terminal of the cluster connection with its command line,
// the connection commands, the edit commands and the cluster commands on menus, tool bar
// and the terminal's context menu. The window answers the cluster's login and password
// prompts itself, logs out before it closes, and reports its size to the logbook when a
// close is granted.

#include "ClusterLogin.h"
#include "CommandHistory.h"
#include "TelnetConnection.h"

#include <QMainWindow>
#include <QTimer>

class QComboBox;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;
class TTerminalView;

class TfrmDxCluster : public QMainWindow
{
    Q_OBJECT
public:
    // The class name under which the logbook finds the window.
    static constexpr auto WindowClass = "TfrmDxCluster";
    enum TCloseFlag {
        csLogoutSent = 0x01,          // the logout went out on this connection
        csCloseAfterDisconnect = 0x02 // close as soon as the server has disconnected
    };

    explicit TfrmDxCluster(QWidget *parent = nullptr);
    ~TfrmDxCluster() override;

    void SetupConnection(const QString &login, const QString &password, const QString &host, int port,
                         bool maximized, int width, int height);
    // Sends a line to the cluster and echoes it as "$" + command; nothing when not connected.
    void SendCommand(const QString &command);
    // Appends a line of the client's own (status, echo) and applies the scroll rule.
    void AddTerminalLine(const QString &line);

    TTelnetConnection *Connection() const { return m_telnet; }
    TTerminalView *Terminal() const { return seTerminal; }
    QComboBox *CommandLine() const { return cbTerminal; }
    QToolButton *ConnectButton() const { return tlBtnCD; }
    QMenu *BandMenu() const { return pmShowDx; }
    QMenu *TerminalMenu() const { return pmTerminal; }
    bool LoggingIn() const { return m_loggingIn; }
    int CloseState() const { return m_closeState; }
    QString Login() const { return m_login; }
    QString StatusText() const; // panel 0
    QString HintText() const;   // panel 1
    QStringList History() const { return m_history.Entries(); }

    QAction *actConnect, *actDisConnect, *actExit;
    QAction *actCopy, *actCut, *actPaste, *actClearTerminal, *actScrollLock;
    QAction *actNewSpot, *actShowDx, *actShowQSL, *actShowQRZ, *actShowWWV;
    QAction *actShowSettings, *actSetName, *actSetQTH, *actSetLoc, *actSetDxGrid;
    QAction *actSetAnnounce, *actSetWCY, *actSetWWV, *actSetWX, *actSearchQRZ;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createActions();
    void createCommandActions();
    void createMenus();
    void createToolBar();
    void createLayout();
    void connectTelnet();

    void IdTelnetStatus(TTelnetConnection::TStatus status);
    void IdTelnetDataAvailable(const QByteArray &block);
    void HandleLoginPrompt(const QByteArray &block);
    void ApplyLoginStep(const TClusterLogin::TStep &step);
    void ShowReceived(const QByteArray &block);
    void actConnectExecute();
    void actDisConnectExecute();
    void edtTxEnter();
    void ReportWindowSize();
    void CentreOnScreen();
    void SetConnectButtonAction(QAction *action);
    void SetLoggingIn(bool loggingIn);
    void UpdateEditActions();
    void actUpdateIfLoggin();
    void actSearchQRZUpdate();

    // Cluster commands
    void actNewSpotExecute();
    void mnItmShowDxClick(int bandIndex);
    void inputBoxCommand(const QString &prefix, const QString &caption);
    void inputQueryCommand(const QString &prefix, const QString &caption, const QString &prompt);
    void onOffCommand(const QString &what, const QString &label);
    void actSearchQRZExecute();

    TTelnetConnection *m_telnet;
    TTerminalView *seTerminal = nullptr;
    QComboBox *cbTerminal = nullptr;
    QToolBar *tlBar = nullptr;
    QToolButton *tlBtnCD = nullptr;
    QToolButton *tlBtnShowDX = nullptr;
    QMenu *pmShowDx = nullptr;
    QMenu *pmTerminal = nullptr;
    QLabel *stPanel0 = nullptr;
    QLabel *stPanel1 = nullptr;

    int m_closeState = 0;
    bool m_loggingIn = true;
    bool m_closeGranted = false;
    bool m_centreWhenFramed = false; // centred before the window manager gave it a frame
    QString m_login;
    QString m_password;
    QByteArray m_receiveBuffer;
    TClusterLogin m_clusterLogin;
    QTimer m_loginQuietTimer; // a node that asks no password goes quiet after the login
    TCommandHistory m_history;
};

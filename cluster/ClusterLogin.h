#pragma once
// The client's side of a node's login, apart from any widget: finds the login and password
// prompts in what the node sends, and tells when the login is over.
//
// Nodes differ. Some ask "login: " on a fresh line, others put their host name before it
// ("vm login: "), ask "Please enter your call: " or "Login: ", send it as the very first text
// of the connection, leave out the blank or split it over two blocks. Most cluster nodes ask
// no password at all: after the login they greet and start sending spots. So the text is
// read as one stream of lines across the blocks:
// - a prompt is one of the prompt words, in any letter case, at the start of a line or of a
//   block, or closing the line that the node leaves open, after a blank or at the line's
//   start; a password prompt only on the line left open at the block's end, since the node
//   waits there for the answer;
// - each block gets one answer at most, the login before the password; the login goes out
//   once and the password once on a connection;
// - after the login answer, a node that goes on without a password prompt (a line that is
//   neither empty nor the echo of the login, or its command prompt) is logged in, and what
//   it sent since the answer is shown. So is a node that stays quiet (QuietTimeOut).
// - a password prompt that comes only after that (a slow node) still gets the password,
//   as long as the operator has sent no command: until then nothing typed can have been
//   taken by the node as the password.

#include <QByteArray>

class TClusterLogin
{
public:
    // How long the node may stay without a password prompt after the login answer before
    // the client takes it as logged in.
    static constexpr int QuietTimeMs = 3000;

    // What one block (or the quiet time) asks of the client, in this order.
    struct TStep {
        bool sendLogin = false;
        bool sendPassword = false;
        bool loggedIn = false; // the login phase is over; from now on everything is shown
        QByteArray shown;      // the text received since the login answer, to show now
    };

    explicit TClusterLogin(const QByteArray &login = {});

    // A new connection: the stream starts on a fresh line and nothing is answered yet.
    void Restart(const QByteArray &login);
    // Reads a block, in the login phase and after it while a late password prompt may come.
    TStep Feed(const QByteArray &block);
    // The quiet time after the login answer has passed without a password prompt.
    TStep QuietTimeOut();
    // The operator sent a command: a password prompt from now on is the node's business.
    void OperatorCommandSent() { m_awaitsLatePassword = false; }

    bool LoginAnswered() const { return m_loginAnswered; }
    bool Finished() const { return m_finished; }
    // The login phase is over without a password, and a password prompt would still be answered.
    bool AwaitsLatePassword() const { return m_awaitsLatePassword; }

private:
    void appendToLine(char c, qsizetype &blockStart);
    void endLine();
    bool startsPrompt(qsizetype blockStart, bool password) const;
    bool closesPrompt(qsizetype blockStart, bool password) const;
    bool showsLoggedIn(bool lineComplete) const;
    TStep answerLatePassword();
    TStep finishLoggedIn();

    QByteArray m_login;
    QByteArray m_line;           // the line being received (its end when it grows long)
    bool m_lineStartKnown = true; // m_line still holds the start of its line
    bool m_loginAnswered = false;
    bool m_finished = false;
    bool m_awaitsLatePassword = false;
    QByteArray m_sinceLogin; // what the node sent after the login answer
};

#include "ClusterLogin.h"

#include "TerminalRules.h"

#include <QByteArrayList>
#include <QString>

namespace
{

const QByteArray LoginWord = QByteArrayLiteral("login:");
const QByteArrayList PasswordWords = {QByteArrayLiteral("Password:"), QByteArrayLiteral("password:")};

// A line without line end that grows longer than this keeps only its end: prompts are short,
// and a node that sends endless text without line ends must not fill the memory.
constexpr qsizetype MaxLineKept = 512;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmedRight(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

QByteArrayList promptWords(bool password)
{
    return password ? PasswordWords : QByteArrayList{LoginWord};
}

} // namespace

TClusterLogin::TClusterLogin(const QByteArray &login)
{
    Restart(login);
}

void TClusterLogin::Restart(const QByteArray &login)
{
    m_login = login;
    m_line.clear();
    m_lineStartKnown = true;
    m_loginAnswered = false;
    m_finished = false;
    m_sinceLogin.clear();
}

TClusterLogin::TStep TClusterLogin::Feed(const QByteArray &block)
{
    if (m_finished)
        return {};
    bool login = false;
    bool password = false;
    bool goesOn = false;
    // Where this block's part of the open line begins (-1: cut off with the line's start).
    qsizetype blockStart = m_line.size();
    for (const char c : block) {
        if (c == '\r' || c == '\n') {
            goesOn = goesOn || showsLoggedIn(true);
            endLine();
            blockStart = 0;
            continue;
        }
        appendToLine(c, blockStart);
        login = login || startsPrompt(blockStart, false);
        password = password || startsPrompt(blockStart, true);
    }
    login = login || closesPrompt(blockStart, false);
    password = password || closesPrompt(blockStart, true);
    goesOn = goesOn || showsLoggedIn(false);
    if (m_loginAnswered)
        m_sinceLogin += block;

    TStep step;
    if (login || password) {
        // The answer ends with CR LF: what the node sends next starts a line of its own,
        // and whatever prompt the open line holds has had this block's answer.
        endLine();
        if (login) {
            step.sendLogin = true;
            m_loginAnswered = true;
            m_sinceLogin.clear();
        } else {
            step.sendPassword = true;
            m_finished = true;
        }
        return step;
    }
    if (goesOn)
        return finishLoggedIn();
    return step;
}

TClusterLogin::TStep TClusterLogin::QuietTimeOut()
{
    if (m_finished || !m_loginAnswered)
        return {};
    return finishLoggedIn();
}

TClusterLogin::TStep TClusterLogin::finishLoggedIn()
{
    TStep step;
    step.loggedIn = true;
    step.shown = m_sinceLogin;
    m_sinceLogin.clear();
    m_finished = true;
    return step;
}

void TClusterLogin::appendToLine(char c, qsizetype &blockStart)
{
    m_line.append(c);
    if (m_line.size() <= MaxLineKept)
        return;
    const qsizetype dropped = m_line.size() - MaxLineKept / 2;
    m_line.remove(0, dropped);
    m_lineStartKnown = false;
    blockStart = blockStart >= dropped ? blockStart - dropped : -1;
}

void TClusterLogin::endLine()
{
    m_line.clear();
    m_lineStartKnown = true;
}

// The prompt word has just been completed at the start of the line or of the block; what
// follows it on the same line (a blank, mostly) does not matter.
bool TClusterLogin::startsPrompt(qsizetype blockStart, bool password) const
{
    for (const QByteArray &word : promptWords(password)) {
        if (!m_line.endsWith(word))
            continue;
        const qsizetype at = m_line.size() - word.size();
        if ((at == 0 && m_lineStartKnown) || at == blockStart)
            return true;
    }
    return false;
}

// The node leaves the line open with the prompt word at its end (blanks after it do not
// count), standing at the line's or the block's start or after a blank: "vm login: ".
bool TClusterLogin::closesPrompt(qsizetype blockStart, bool password) const
{
    const QByteArrayView line = trimmedRight(m_line);
    for (const QByteArray &word : promptWords(password)) {
        if (!line.endsWith(word))
            continue;
        const qsizetype at = line.size() - word.size();
        if ((at == 0 && m_lineStartKnown) || at == blockStart || (at > 0 && isBlank(line.at(at - 1))))
            return true;
    }
    return false;
}

// After the login answer, a node that shows a line of its own (not the echo of the login)
// or leaves its command prompt open has let the client in without a password.
bool TClusterLogin::showsLoggedIn(bool lineComplete) const
{
    if (!m_loginAnswered)
        return false;
    const QByteArrayView line = QByteArrayView(m_line).trimmed();
    if (!lineComplete)
        return TerminalRules::LineKind(QString::fromLatin1(line)) == TerminalRules::lkPrompt;
    return !line.isEmpty() && QByteArrayView(m_login).compare(line, Qt::CaseInsensitive) != 0;
}

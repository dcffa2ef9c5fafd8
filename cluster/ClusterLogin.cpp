#include "ClusterLogin.h"

#include "TerminalRules.h"

#include <QByteArrayView>
#include <QString>

#include <span>

namespace
{

// The prompts as the common node programs word them; compared in any letter case. A longer
// wording ("Please enter your call:") ends with one of these after a blank.
constexpr QByteArrayView LoginWords[] = {"login:", "enter your call:", "enter your callsign:"};
constexpr QByteArrayView PasswordWords[] = {"password:"};

// A line without line end that grows longer than this keeps only its end: prompts are short,
// and a node that sends endless text without line ends must not fill the memory.
constexpr qsizetype MaxLineKept = 512;
// A node that sends this much after the login answer, without a password prompt and
// without a line that proves the login, is taken as logged in: the text waiting to be shown
// stays bounded.
constexpr qsizetype MaxHeldBack = 64 * 1024;

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

bool endsWithWord(QByteArrayView text, QByteArrayView word)
{
    return text.size() >= word.size() && text.last(word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

std::span<const QByteArrayView> promptWords(bool password)
{
    if (password)
        return PasswordWords;
    return LoginWords;
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
    m_awaitsLatePassword = false;
    m_sinceLogin.clear();
}

TClusterLogin::TStep TClusterLogin::Feed(const QByteArray &block)
{
    // Once logged in without a password, only a password prompt matters.
    const bool late = m_awaitsLatePassword;
    if (m_finished && !late)
        return {};
    bool login = false;
    bool password = false;
    bool goesOn = false;
    // Where this block's part of the open line begins (-1: cut off with the line's start).
    qsizetype blockStart = m_line.size();
    for (const char c : block) {
        if (c == '\r' || c == '\n') {
            goesOn = goesOn || (!late && showsLoggedIn(true));
            // A password prompt waits on the line it opens; a line that the node ends is its
            // own text ("Password: is not needed on this node").
            password = false;
            endLine();
            blockStart = 0;
            continue;
        }
        appendToLine(c, blockStart);
        if (c != ':')
            continue;
        login = login || (!m_loginAnswered && startsPrompt(blockStart, false));
        password = password || startsPrompt(blockStart, true);
    }
    login = login || (!m_loginAnswered && closesPrompt(blockStart, false));
    password = password || closesPrompt(blockStart, true);
    if (late)
        return password ? answerLatePassword() : TStep{};
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
    if (goesOn || m_sinceLogin.size() > MaxHeldBack)
        return finishLoggedIn();
    return step;
}

TClusterLogin::TStep TClusterLogin::answerLatePassword()
{
    endLine();
    m_awaitsLatePassword = false;
    TStep step;
    step.sendPassword = true;
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
    m_awaitsLatePassword = true;
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
    for (const QByteArrayView word : promptWords(password)) {
        if (!endsWithWord(m_line, word))
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
    for (const QByteArrayView word : promptWords(password)) {
        if (!endsWithWord(line, word))
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

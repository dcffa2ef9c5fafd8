#pragma once
// The program's help: Czech HTML pages in the folder Help/ beside the program, asked for
// by topic (a window's name, "BaseInfo", "History"), by keyword, by help context number,
// or as the table of contents. The rules live here; the help window that shows the pages
// is installed by the windows' side. Without Help/BaseInfo.html, or without an installed
// window, every request does nothing, silently.

#include <QString>
#include <QStringList>

// What shows the pages: the help window.
class THelpDisplay
{
public:
    virtual ~THelpDisplay() = default;
    // Shows the page file (absolute path, possibly with "#anchor").
    virtual void ShowPage(const QString &pageFile) = 0;
    // Shows the list of pages of the folder.
    virtual void ShowContents(const QString &helpFolder) = 0;
    // Shows the keyword index of the folder at the keyword; the one page it names opens.
    virtual void ShowIndex(const QString &helpFolder, const QString &keyword) = 0;
    // Closes the help window.
    virtual void CloseAll() = 0;
};

namespace HelpViewer {

// The page that tells whether the help is there at all.
inline const QString PresenceTopic = QStringLiteral("BaseInfo");
// The extension a topic without one gets.
inline const QString DefaultExtension = QStringLiteral(".html");

// The program folder whose Help/ folder holds the pages (with or without a final "/").
void SetAppDir(const QString &appDir);
QString HelpFolder();
// The window that shows the pages (not owned; null removes it); returns the one before.
THelpDisplay *InstallDisplay(THelpDisplay *display);

// True when Help/BaseInfo.html exists.
bool HelpPresent();
// The page file of a topic: Help/ + topic, with DefaultExtension appended unless the
// topic already ends in ".htm" or ".html" (compared without regard to case).
QString TopicFile(const QString &topic);
// The topic of a help context number; empty for a number without a page.
QString ContextTopic(int context);

void ShowTopic(const QString &topic);
void ShowKeyword(const QString &keyword);
void ShowContext(int context);
void ShowTableOfContents();
void CloseAll();

// Every topic and context page the program asks for, for the check that each has its page.
QStringList KnownTopics();

} // namespace HelpViewer

#pragma once
// The help window: the Czech help pages with their list of contents and keyword index,
// back and forward, and a search in the page shown. One window, made at the first help
// request and reused for the rest of the run.

#include "system/HelpViewer.h"

#include <QMap>
#include <QWidget>

class QAction;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QToolButton;

class TfrmHelp : public QWidget, public THelpDisplay
{
    Q_OBJECT
public:
    explicit TfrmHelp(QWidget *parent = nullptr);

    void ShowPage(const QString &pageFile) override;
    void ShowContents(const QString &helpFolder) override;
    void ShowIndex(const QString &helpFolder, const QString &keyword) override;
    void CloseAll() override;

    // Finds the text in the page from the caret on (wrapping to the top); false when it
    // is not in the page.
    bool FindInPage(const QString &text);

    // The page shown (its file), the keywords of the index and the pages of a keyword.
    QString CurrentPage() const;
    QStringList Keywords() const { return m_index.keys(); }
    QStringList PagesOf(const QString &keyword) const { return m_index.value(keyword.toLower()).values(); }

    QTabWidget *tabs;
    QListWidget *lstContents;
    QLineEdit *edtKeyword;
    QListWidget *lstIndex;
    QTextBrowser *txtPage;
    QToolButton *btnBack;
    QToolButton *btnForward;
    QLineEdit *edtFind;
    QAction *actClose; // Esc

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadFolder(const QString &helpFolder);
    void showIndexEntry(const QString &keyword);
    void filterIndex(const QString &text);
    void present();
    void followModalWindow();
    void adoptOwner(QWidget *owner);

    QString m_folder;
    // keyword (lower case) -> page title -> page file
    QMap<QString, QMap<QString, QString>> m_index;
    QMap<QString, QString> m_keywordCaptions; // lower case -> as written
};

// Installs the help window as the program's help display (made when first needed).
void InstallHelpWindow();

// F1 in `window` opens the help page of the help context (an action "actHelp").
QAction *AddHelpContextAction(QWidget *window, int context);

#pragma once
// Every file and folder dialog of the programs goes through here, so that a test can
// preset the operator's answers and read what was asked instead of waiting for a person.

#include <QList>
#include <QString>

class QWidget;

class FileDialogs
{
public:
    enum class Kind { OpenFile, SaveFile, ExistingDirectory };
    struct Request {
        Kind kind;
        QString caption;
        QString directory;
        QString filter;
        QString extension; // of a save dialog: added to a name chosen without one
    };

    // As QFileDialog's functions; an empty text means the operator cancelled.
    static QString getOpenFileName(QWidget *parent, const QString &caption,
                                   const QString &directory = QString(), const QString &filter = QString());
    // A save dialog gives the name that will really be written: a name without extension
    // gets `extension` (when one is given), and only then, under that name, is the operator
    // asked whether an existing file may be overwritten. Answering no opens the dialog again.
    static QString getSaveFileName(QWidget *parent, const QString &caption,
                                   const QString &directory = QString(), const QString &filter = QString(),
                                   const QString &extension = QString());
    static QString getExistingDirectory(QWidget *parent, const QString &caption,
                                        const QString &directory = QString());

    // Test seam. Queues the answer of the next dialog (an empty text cancels it) and turns
    // scripting on: from then on no dialog opens, and one without a queued answer is cancelled.
    static void setNextAnswer(const QString &answer);
    static bool isScripted();
    // Every dialog asked for since the last reset, in order.
    static QList<Request> requests();
    static QString lastCaption();
    // Scripting off, answers and requests forgotten.
    static void resetScript();

private:
    static QString ask(const Request &request, QWidget *parent);
    static bool overwriteAllowed(const QString &fileName);
};

// Lets the operator choose a folder, starting at Folder; true and Folder replaced by the
// chosen folder's path when one is chosen, false when the dialog is cancelled.
bool SelectFolder(const QString &caption, QString &folder);

#include "FileDialogs.h"

#include "base/Messages.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

struct Script {
    bool active = false;
    QStringList answers;
    QList<FileDialogs::Request> requests;
};

Script &script()
{
    static Script s;
    return s;
}

} // namespace

QString FileDialogs::ask(const Request &request, QWidget *parent)
{
    Script &s = script();
    s.requests.append(request);
    if (s.active)
        return s.answers.isEmpty() ? QString() : s.answers.takeFirst();
    switch (request.kind) {
    case Kind::OpenFile:
        return QFileDialog::getOpenFileName(parent, request.caption, request.directory, request.filter);
    case Kind::SaveFile:
        // The dialog's own question would name the file before its extension is added.
        return QFileDialog::getSaveFileName(parent, request.caption, request.directory, request.filter, nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    case Kind::ExistingDirectory:
        break;
    }
    return QFileDialog::getExistingDirectory(parent, request.caption, request.directory);
}

QString FileDialogs::getOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                                     const QString &filter)
{
    return ask({Kind::OpenFile, caption, directory, filter}, parent);
}

QString FileDialogs::getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                                     const QString &filter, const QString &extension)
{
    QString start = directory;
    for (;;) {
        QString fileName = ask({Kind::SaveFile, caption, start, filter, extension}, parent);
        if (fileName.isEmpty())
            return {};
        if (!extension.isEmpty() && QFileInfo(fileName).suffix().isEmpty())
            fileName += u'.' + extension;
        if (overwriteAllowed(fileName))
            return fileName;
        start = fileName;
    }
}

bool FileDialogs::overwriteAllowed(const QString &fileName)
{
    if (!QFileInfo::exists(fileName))
        return true;
    return MessageDlgDef(QStringLiteral("Soubor \"%1\" již existuje.\nChcete jej přepsat?")
                             .arg(QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath())),
                         mtConfirmation, mbYes | mbNo, mrNo) == mrYes;
}

QString FileDialogs::getExistingDirectory(QWidget *parent, const QString &caption, const QString &directory)
{
    return ask({Kind::ExistingDirectory, caption, directory, QString()}, parent);
}

void FileDialogs::setNextAnswer(const QString &answer)
{
    script().active = true;
    script().answers.append(answer);
}

bool FileDialogs::isScripted()
{
    return script().active;
}

QList<FileDialogs::Request> FileDialogs::requests()
{
    return script().requests;
}

QString FileDialogs::lastCaption()
{
    const auto &requests = script().requests;
    return requests.isEmpty() ? QString() : requests.last().caption;
}

void FileDialogs::resetScript()
{
    script() = Script();
}

bool SelectFolder(const QString &caption, QString &folder)
{
    // Any folder of the file system may be chosen; the dialog opens at the current one.
    const QString start = QFileInfo(folder).isDir() ? folder : QDir::rootPath();
    const QString chosen = FileDialogs::getExistingDirectory(QApplication::activeWindow(), caption, start);
    if (chosen.isEmpty())
        return false;
    folder = QDir::cleanPath(chosen);
    return true;
}

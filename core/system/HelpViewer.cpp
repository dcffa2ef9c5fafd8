#include "system/HelpViewer.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {

struct THelpState {
    QString helpFolder;
    THelpDisplay *display = nullptr;
};

THelpState &state()
{
    static THelpState s;
    return s;
}

// The windows that show their help by a context number instead of a topic.
const QHash<int, QString> &contextTopics()
{
    static const QHash<int, QString> topics{{9, QStringLiteral("frmCallBook")},
                                            {11, QStringLiteral("frmAziDis")},
                                            {51, QStringLiteral("frmTiskDenik")},
                                            {52, QStringLiteral("frmTiskQSL")}};
    return topics;
}

// The display, when there is one and the help is there.
THelpDisplay *display()
{
    return HelpViewer::HelpPresent() ? state().display : nullptr;
}

} // namespace

namespace HelpViewer {

void SetAppDir(const QString &appDir)
{
    state().helpFolder = QDir(appDir).filePath(QStringLiteral("Help")) + u'/';
}

QString HelpFolder()
{
    return state().helpFolder;
}

THelpDisplay *InstallDisplay(THelpDisplay *display)
{
    return std::exchange(state().display, display);
}

bool HelpPresent()
{
    return !state().helpFolder.isEmpty() && QFileInfo::exists(TopicFile(PresenceTopic));
}

QString TopicFile(const QString &topic)
{
    const QString lower = topic.toLower();
    const bool hasExtension = lower.endsWith(QStringLiteral(".htm")) || lower.endsWith(QStringLiteral(".html"));
    return state().helpFolder + topic + (hasExtension ? QString() : DefaultExtension);
}

QString ContextTopic(int context)
{
    return contextTopics().value(context);
}

void ShowTopic(const QString &topic)
{
    if (THelpDisplay *d = display())
        d->ShowPage(TopicFile(topic));
}

void ShowKeyword(const QString &keyword)
{
    if (THelpDisplay *d = display())
        d->ShowIndex(state().helpFolder, keyword.trimmed());
}

void ShowContext(int context)
{
    const QString topic = ContextTopic(context);
    if (!topic.isEmpty())
        ShowTopic(topic);
}

void ShowTableOfContents()
{
    if (THelpDisplay *d = display())
        d->ShowContents(state().helpFolder);
}

void CloseAll()
{
    if (state().display)
        state().display->CloseAll();
}

QStringList KnownTopics()
{
    QStringList topics{PresenceTopic,         QStringLiteral("History"),    QStringLiteral("frmQSO"),
                       QStringLiteral("frmOptions"), QStringLiteral("frmProfile"), QStringLiteral("frmFilter"),
                       QStringLiteral("frmFind"),    QStringLiteral("frmList"),    QStringLiteral("frmImport"),
                       QStringLiteral("frmImportOptions")};
    for (const QString &topic : contextTopics())
        topics << topic;
    return topics;
}

} // namespace HelpViewer

#include "HelpWindow.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

struct TPageInfo {
    QString title;
    QStringList keywords;
};

TPageInfo readPageInfo(const QString &file)
{
    QFile page(file);
    if (!page.open(QIODevice::ReadOnly))
        return {};
    const QString html = QString::fromUtf8(page.readAll());
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression keywords(QStringLiteral("<meta\\s+name=\"keywords\"\\s+content=\"([^\"]*)\""),
                                             QRegularExpression::CaseInsensitiveOption);
    TPageInfo info;
    info.title = title.match(html).captured(1).simplified();
    for (const QString &keyword : keywords.match(html).captured(1).split(u',', Qt::SkipEmptyParts))
        info.keywords << keyword.trimmed();
    return info;
}

QToolButton *toolButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setAutoRaise(true);
    return button;
}

} // namespace

TfrmHelp::TfrmHelp(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Nápověda"));
    resize(900, 650);

    lstContents = new QListWidget(this);
    lstContents->setObjectName(QStringLiteral("lstContents"));
    edtKeyword = new QLineEdit(this);
    edtKeyword->setObjectName(QStringLiteral("edtKeyword"));
    edtKeyword->setPlaceholderText(QStringLiteral("Hledané slovo"));
    lstIndex = new QListWidget(this);
    lstIndex->setObjectName(QStringLiteral("lstIndex"));
    auto *indexPage = new QWidget(this);
    auto *indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(0, 0, 0, 0);
    indexLayout->addWidget(edtKeyword);
    indexLayout->addWidget(lstIndex);
    tabs = new QTabWidget(this);
    tabs->addTab(lstContents, QStringLiteral("Obsah"));
    tabs->addTab(indexPage, QStringLiteral("Rejstřík"));

    txtPage = new QTextBrowser(this);
    txtPage->setObjectName(QStringLiteral("txtPage"));
    txtPage->setOpenExternalLinks(true);
    btnBack = toolButton(QStringLiteral("Zpět"), "btnBack", this);
    btnForward = toolButton(QStringLiteral("Vpřed"), "btnForward", this);
    btnBack->setEnabled(false);
    btnForward->setEnabled(false);
    edtFind = new QLineEdit(this);
    edtFind->setObjectName(QStringLiteral("edtFind"));
    edtFind->setPlaceholderText(QStringLiteral("Hledat na stránce"));
    auto *bar = new QHBoxLayout;
    bar->addWidget(btnBack);
    bar->addWidget(btnForward);
    bar->addStretch();
    bar->addWidget(new QLabel(QStringLiteral("Hledat:"), this));
    bar->addWidget(edtFind);
    auto *pageSide = new QWidget(this);
    auto *pageLayout = new QVBoxLayout(pageSide);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addLayout(bar);
    pageLayout->addWidget(txtPage);

    auto *splitter = new QSplitter(this);
    splitter->addWidget(tabs);
    splitter->addWidget(pageSide);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({230, 670});
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter);

    connect(btnBack, &QToolButton::clicked, txtPage, &QTextBrowser::backward);
    connect(btnForward, &QToolButton::clicked, txtPage, &QTextBrowser::forward);
    connect(txtPage, &QTextBrowser::backwardAvailable, btnBack, &QToolButton::setEnabled);
    connect(txtPage, &QTextBrowser::forwardAvailable, btnForward, &QToolButton::setEnabled);
    connect(lstContents, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { ShowPage(item->data(Qt::UserRole).toString()); });
    connect(lstContents, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { ShowPage(item->data(Qt::UserRole).toString()); });
    connect(lstIndex, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { showIndexEntry(item->text()); });
    connect(lstIndex, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { showIndexEntry(item->text()); });
    connect(edtKeyword, &QLineEdit::textEdited, this, &TfrmHelp::filterIndex);
    connect(edtFind, &QLineEdit::returnPressed, this, [this] { FindInPage(edtFind->text()); });

    actClose = new QAction(QStringLiteral("Zavřít"), this);
    actClose->setObjectName(QStringLiteral("actClose"));
    actClose->setShortcut(QKeySequence(Qt::Key_Escape));
    actClose->setShortcutContext(Qt::WindowShortcut);
    connect(actClose, &QAction::triggered, this, &QWidget::close);
    addAction(actClose);
}

void TfrmHelp::loadFolder(const QString &helpFolder)
{
    if (helpFolder == m_folder)
        return;
    m_folder = helpFolder;
    m_index.clear();
    m_keywordCaptions.clear();
    lstContents->clear();
    QDir folder(helpFolder);
    QList<QPair<QString, QString>> pages; // title, file
    for (const QString &name : folder.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
        const QString file = folder.filePath(name);
        const TPageInfo info = readPageInfo(file);
        const QString title = info.title.isEmpty() ? name : info.title;
        pages.append({title, file});
        for (const QString &keyword : info.keywords) {
            m_index[keyword.toLower()].insert(title, file);
            m_keywordCaptions.insert(keyword.toLower(), keyword);
        }
    }
    // The introduction first, the version history last, the windows in between by title.
    const auto rank = [](const QString &file) {
        return file.endsWith(QStringLiteral("/BaseInfo.html")) ? 0 : file.endsWith(QStringLiteral("/History.html")) ? 2 : 1;
    };
    std::stable_sort(pages.begin(), pages.end(), [&](const auto &a, const auto &b) {
        return rank(a.second) != rank(b.second) ? rank(a.second) < rank(b.second)
                                                : QString::localeAwareCompare(a.first, b.first) < 0;
    });
    for (const auto &[title, file] : pages) {
        auto *item = new QListWidgetItem(title, lstContents);
        item->setData(Qt::UserRole, file);
    }
    filterIndex(edtKeyword->text());
}

void TfrmHelp::filterIndex(const QString &text)
{
    lstIndex->clear();
    for (auto it = m_keywordCaptions.cbegin(); it != m_keywordCaptions.cend(); ++it)
        if (it.key().startsWith(text.toLower()))
            lstIndex->addItem(it.value());
}

void TfrmHelp::ShowPage(const QString &pageFile)
{
    QUrl url = QUrl::fromLocalFile(pageFile.section(u'#', 0, 0));
    if (pageFile.contains(u'#'))
        url.setFragment(pageFile.section(u'#', 1));
    loadFolder(QFileInfo(url.toLocalFile()).absolutePath() + u'/');
    txtPage->setSource(url);
    present();
}

void TfrmHelp::ShowContents(const QString &helpFolder)
{
    loadFolder(helpFolder);
    tabs->setCurrentIndex(0);
    if (txtPage->source().isEmpty())
        txtPage->setSource(QUrl::fromLocalFile(HelpViewer::TopicFile(HelpViewer::PresenceTopic)));
    present();
}

void TfrmHelp::ShowIndex(const QString &helpFolder, const QString &keyword)
{
    loadFolder(helpFolder);
    tabs->setCurrentIndex(1);
    edtKeyword->setText(keyword);
    filterIndex(keyword);
    if (m_index.value(keyword.toLower()).size() == 1)
        showIndexEntry(keyword);
    present();
}

void TfrmHelp::showIndexEntry(const QString &keyword)
{
    const QMap<QString, QString> pages = m_index.value(keyword.toLower());
    if (!pages.isEmpty())
        ShowPage(pages.first());
}

void TfrmHelp::CloseAll()
{
    close();
}

bool TfrmHelp::FindInPage(const QString &text)
{
    if (text.isEmpty())
        return false;
    if (txtPage->find(text))
        return true;
    txtPage->moveCursor(QTextCursor::Start);
    return txtPage->find(text);
}

QString TfrmHelp::CurrentPage() const
{
    return txtPage->source().toLocalFile();
}

void TfrmHelp::present()
{
    followModalWindow();
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

// A modal window blocks every window but its own. While one is open the help window
// becomes one of its windows, so that it can be used, raised and closed; when the modal
// window goes, the help window leaves it and stays as it was.
void TfrmHelp::followModalWindow()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal == this || (modal && modal->isAncestorOf(this)))
        return;
    adoptOwner(modal);
}

void TfrmHelp::adoptOwner(QWidget *owner)
{
    if (parentWidget() == owner)
        return;
    const bool shown = isVisible();
    const QRect place = geometry();
    if (parentWidget())
        parentWidget()->removeEventFilter(this);
    setParent(owner, windowFlags() | Qt::Window);
    if (owner)
        owner->installEventFilter(this);
    setGeometry(place);
    if (shown)
        show();
}

bool TfrmHelp::eventFilter(QObject *watched, QEvent *event)
{
    // The owner hides before its child windows do, and may be deleted right afterwards.
    if (watched == parentWidget() && event->type() == QEvent::Hide)
        adoptOwner(nullptr);
    return QWidget::eventFilter(watched, event);
}

void InstallHelpWindow()
{
    // One window for the run, made at the first request.
    static QPointer<TfrmHelp> window;
    struct TLazyDisplay : THelpDisplay {
        TfrmHelp &w()
        {
            if (!window)
                window = new TfrmHelp;
            return *window;
        }
        void ShowPage(const QString &f) override { w().ShowPage(f); }
        void ShowContents(const QString &f) override { w().ShowContents(f); }
        void ShowIndex(const QString &f, const QString &k) override { w().ShowIndex(f, k); }
        void CloseAll() override
        {
            if (window)
                window->CloseAll();
        }
    };
    static TLazyDisplay display;
    HelpViewer::InstallDisplay(&display);
}

QAction *AddHelpContextAction(QWidget *window, int context)
{
    auto *action = new QAction(QStringLiteral("Nápověda"), window);
    action->setObjectName(QStringLiteral("actHelp"));
    action->setShortcut(QKeySequence(Qt::Key_F1));
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, window, [context] { HelpViewer::ShowContext(context); });
    window->addAction(action);
    return action;
}

#include "CallBookWindow.h"

#include "AppGlobals.h"
#include "log/CallBookImport.h"
#include "log/DmLog.h"
#include "FileDialogs.h"
#include "LogGrid.h"
#include "base/Messages.h"
#include "ProgressDialog.h"
#include "log/TableQuery.h"
#include "base/VelkorError.h"
#include "WindowCommands.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

const TRefTableWindow::TActionNames CallBookActionNames{"actHledat", "actTridit", "actPrvni", "actPosledni",
                                                        "actZavrit"};

const QString CsvFilter = QStringLiteral("CSV (*.csv)");

} // namespace

TfrmCallBook::TfrmCallBook(TdmLog &dm, QWidget *owner) : TRefTableWindow(dm, CallBookActionNames, owner)
{
    setObjectName(QStringLiteral("frmCallBook"));
    setWindowTitle(QStringLiteral("Call book"));
    setWindowState(windowState() | Qt::WindowMaximized);
    resize(900, 600);
    actFind->setText(QStringLiteral("&Hledat"));
    actFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    actFirst->setText(QStringLiteral("&První"));
    actLast->setText(QStringLiteral("&Poslední"));
    actClose->setText(QStringLiteral("&Zavřít"));
    actClose->setShortcut(QKeySequence(Qt::Key_Escape));
    actNacistCSV = MakeWindowAction(this, "actNacistCSV", QStringLiteral("Načíst data"), QString());
    actNacistCSV->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    connect(actNacistCSV, &QAction::triggered, this, &TfrmCallBook::actNacistCSVExecute);
    QAction *actHelp =
        MakeWindowAction(this, "actHelp", QStringLiteral("Nápověda"), QString(), {QKeySequence(Qt::Key_F1)});
    connect(actHelp, &QAction::triggered, this, [this] { ShowHelpTopic(m_dm.AppDir, objectName()); });

    mnBar = new QMenuBar(this);
    mnBar->setObjectName(QStringLiteral("mnBar"));
    QMenu *file = mnBar->addMenu(QStringLiteral("&Soubor"));
    QAction *load = file->addAction(QStringLiteral("&Načíst data"));
    load->setObjectName(QStringLiteral("mnItmNacist"));
    connect(load, &QAction::triggered, actNacistCSV, &QAction::trigger);
    layout()->setMenuBar(mnBar);

    tlBar->addAction(actNacistCSV);
    tlBar->addAction(actFind);
    tlBar->addAction(actSort);
    tlBtnSort = qobject_cast<QToolButton *>(tlBar->widgetForAction(actSort));
    tlBtnSort->setObjectName(QStringLiteral("tlBtnTridit"));
    tlBtnSort->setMenu(pmSort);
    tlBtnSort->setPopupMode(QToolButton::InstantPopup); // the button itself opens the menu
    tlBar->addAction(actFirst);
    tlBar->addAction(actLast);
    tlBar->addAction(actClose);
    grid->setObjectName(QStringLiteral("dbGrdCall"));
    FormCreate();
}

void TfrmCallBook::FormCreate()
{
    const QStringList titles{QStringLiteral("Značka"), QStringLiteral("Titul"),    QStringLiteral("Příjmení"),
                             QStringLiteral("Jméno"),  QStringLiteral("Ulice"),    QStringLiteral("Město"),
                             QStringLiteral("PSČ"),    QStringLiteral("EMAIL"),    QStringLiteral("Lokátor"),
                             QStringLiteral("T"),      QStringLiteral("Poznámka")};
    const int widths[] = {80, 50, 110, 90, 150, 120, 55, 150, 65, 25, 200};
    QList<TRefTableModel::TColumn> columns;
    for (int i = 0; i < CallBookFieldCount; ++i)
        columns.append({CallBookFields[i], titles[i], widths[i]});
    const QList<TSortItem> sortItems{
        {QStringLiteral("Značka"), QStringLiteral("ZNACKA")}, {QStringLiteral("Jméno"), QStringLiteral("JMENO")},
        {QStringLiteral("Příjmení"), QStringLiteral("PRIJMENI")}, {QStringLiteral("Město"), QStringLiteral("MESTO")},
        {QStringLiteral("Ulice"), QStringLiteral("ULICE")},     {QStringLiteral("Lokátor"), QStringLiteral("LOC")},
        {QStringLiteral("E-Mail"), QStringLiteral("EMAIL")},    {QStringLiteral("PSČ"), QStringLiteral("PSC")},
        {QStringLiteral("Třída"), QStringLiteral("CLASS")},     {QStringLiteral("Poznámka"), QStringLiteral("POZN")}};
    const QList<TfrmFind::TFindField> findFields{{QStringLiteral("Značka"), TfrmFind::fkCall, 0},
                                                 {QStringLiteral("Příjmení"), TfrmFind::fkText, 2},
                                                 {QStringLiteral("Mail"), TfrmFind::fkText, 7},
                                                 {QStringLiteral("Poznámka"), TfrmFind::fkText, 10}};
    SetupTable(QDir(m_dm.AppDir).filePath(QLatin1String(CallBookFileName)), QLatin1String(CallBookTableName), columns,
               sortItems, findFields);

    if (QFileInfo::exists(qList->FilePath())) {
        NactiData();
        return;
    }
    if (MessageDlgDef(QStringLiteral("Nejsou načtená žádná data.\nChece je importovat?"), mtInformation,
                      mbYes | mbNo, mrYes) != mrYes)
        return;
    const QString fileName = FileDialogs::getOpenFileName(this, QString(), m_dm.AppDir, CsvFilter);
    if (!fileName.isEmpty())
        ImportCSV(fileName);
}

void TfrmCallBook::NactiData()
{
    try {
        SortBy(QStringLiteral("ZNACKA"));
    } catch (const EVelkorError &) {
        qList->Close(); // no callbook to show: the grid stays empty
    }
}

void TfrmCallBook::ResortFailed(const QString &)
{
    // Re-sorting never reports: the grid is then empty.
}

void TfrmCallBook::actNacistCSVExecute()
{
    if (MessageDlgDef(QStringLiteral("Opravdu chcete importovat novou databázi?\nPůvodní data budou přepsána!"),
                      mtConfirmation, mbYes | mbNo, mrNo) != mrYes)
        return;
    const QString fileName = FileDialogs::getOpenFileName(this, QString(), m_dm.AppDir, CsvFilter);
    if (!fileName.isEmpty())
        ImportCSV(fileName);
}

bool TfrmCallBook::ImportCSV(const QString &fileName)
{
    bool imported = false;
    QString failure;
    try {
        const QStringList lines = ReadCallBookFile(fileName);
        if (!CallBookHeaderOK(lines.value(0)) &&
            MessageDlgDef(QStringLiteral("Data mají pravděpodobně nesprávný formát!\nChcete pokračovat?"), mtError,
                          mbYes | mbNo, mrNo) != mrYes) {
            NactiData();
            return false;
        }
        TfrmDialogCloser closer(frmDialog);
        TProgressEvent progress;
        if (frmDialog) {
            frmDialog->ShowProgress(QStringLiteral("Načítám data ..."), 0, 100);
            progress = frmDialog->ProgressCallback();
        }
        qList->Close();
        ImportCallBook(m_dm.AppDir, lines, progress);
        imported = true;
    } catch (const EVelkorError &e) {
        failure = e.message();
    }
    NactiData();
    if (!failure.isEmpty())
        MessageDlgDef(failure, mtError, mbOK, mrOk);
    return imported;
}

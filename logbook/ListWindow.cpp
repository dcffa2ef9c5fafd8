#include "ListWindow.h"

#include "log/DmLog.h"
#include "log/VkrDatabase.h"
#include "WindowCommands.h"

#include <QAction>
#include <QDir>
#include <QFont>
#include <QHeaderView>
#include <QToolBar>
#include <QToolButton>

#include "LogGrid.h"

namespace {

const TRefTableWindow::TActionNames ListActionNames{"actFind", "actSort", "actFirs", "actLast", "actClose"};

QFont tahoma(int pixels)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixels);
    return font;
}

} // namespace

TfrmList::TfrmList(TdmLog &dm, QWidget *owner) : TRefTableWindow(dm, ListActionNames, owner)
{
    setObjectName(QStringLiteral("frmList"));
    setMinimumSize(635, 150);
    actFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    actFind->setStatusTip(QStringLiteral("Vyhledat údaj v seznamu"));
    actSort->setShortcut(QKeySequence(Qt::Key_F7));
    actSort->setStatusTip(QStringLiteral("Setřídit seznam zemí"));
    actFirst->setShortcut(QKeySequence(Qt::Key_Home));
    actFirst->setStatusTip(QStringLiteral("Skok na první položku"));
    actLast->setShortcut(QKeySequence(Qt::Key_End));
    actLast->setStatusTip(QStringLiteral("Skok na poslení položku"));
    actClose->setShortcut(QKeySequence(Qt::Key_Escape));
    actClose->setStatusTip(QStringLiteral("Zavřít formulář"));
    for (QAction *action : {actFind, actSort, actFirst, actLast, actClose})
        action->setToolTip(action->statusTip());
    actHelp = MakeWindowAction(this, "actHelp", QStringLiteral("Nápověda"), QString(), {QKeySequence(Qt::Key_F1)});
    connect(actHelp, &QAction::triggered, this, [this] { ShowHelpTopic(m_dm.AppDir, objectName()); });

    tlBar->addAction(actFind);
    tlBar->widgetForAction(actFind)->setObjectName(QStringLiteral("tlBtnFind"));
    tlBar->addAction(actSort);
    tlBtnSort = qobject_cast<QToolButton *>(tlBar->widgetForAction(actSort));
    tlBtnSort->setObjectName(QStringLiteral("tlBtnSort"));
    tlBtnSort->setMenu(pmSort);
    tlBtnSort->setPopupMode(QToolButton::MenuButtonPopup);
    tlBar->addSeparator();
    tlBar->addAction(actFirst);
    tlBar->widgetForAction(actFirst)->setObjectName(QStringLiteral("tlBtnFirst"));
    tlBar->addAction(actLast);
    tlBar->widgetForAction(actLast)->setObjectName(QStringLiteral("tlBtnLast"));
    tlBar->addSeparator();
    tlBar->addAction(actClose);
    tlBar->widgetForAction(actClose)->setObjectName(QStringLiteral("tlBtnClose"));

    grid->setObjectName(QStringLiteral("dbgList"));
    grid->setFont(tahoma(13));
    grid->horizontalHeader()->setFont(tahoma(11));
}

TfrmList::~TfrmList()
{
    if (!m_setUp)
        return;
    TUserOptions &uo = m_dm.UserOptions;
    const bool maximized = isMaximized();
    const bool normal = !maximized && !isMinimized();
    if (m_kind == lkDxcc) {
        uo.SetListDxccMaximized(maximized);
        if (normal) {
            uo.SetListDxccWidth(width());
            uo.SetListDxccHeight(height());
        }
    } else {
        uo.SetListIOTAMaximized(maximized);
        if (normal) {
            uo.SetListIOTAWidth(width());
            uo.SetListIOTAHeight(height());
        }
    }
}

void TfrmList::SetupList(int kind)
{
    m_kind = kind == lkIota ? lkIota : lkDxcc;
    const TUserOptions &uo = m_dm.UserOptions;
    const bool dxcc = m_kind == lkDxcc;
    resize(dxcc ? uo.GetListDxccWidth() : uo.GetListIOTAWidth(), dxcc ? uo.GetListDxccHeight() : uo.GetListIOTAHeight());
    if (dxcc ? uo.GetListDxccMaximized() : uo.GetListIOTAMaximized())
        setWindowState(windowState() | Qt::WindowMaximized);
    m_setUp = true;

    const QStringList &fields = dxcc ? DxccFieldNames : IotaFieldNames;
    const QStringList &titles = dxcc ? DxccFieldCaptions : IotaFieldCaptions;
    QList<TRefTableModel::TColumn> columns;
    QList<TSortItem> sortItems;
    for (int i = 0; i < fields.size(); ++i) {
        columns.append({fields[i], titles[i], dxcc ? DxccColumnWidths[i] : IotaColumnWidths[i]});
        sortItems.append({titles[i], fields[i]});
    }
    QList<TfrmFind::TFindField> findFields;
    if (dxcc)
        findFields = {{QStringLiteral("DXCC"), TfrmFind::fkCall, 0},
                      {QStringLiteral("Název"), TfrmFind::fkText, 2},
                      {QStringLiteral("Prefix"), TfrmFind::fkCall, 1}};
    else
        findFields = {{QStringLiteral("IOTA"), TfrmFind::fkIOTA, 0},
                      {QStringLiteral("Název"), TfrmFind::fkText, 2},
                      {QStringLiteral("Prefix"), TfrmFind::fkCall, 1}};
    m_tableFile = dxcc ? QStringLiteral("dxcc.db") : QStringLiteral("iota.db");
    setWindowTitle(dxcc ? QStringLiteral("Seznam zemí DXCC") : QStringLiteral("Seznam ostrovů IOTA"));
    SetupTable(QDir(m_dm.AppDir).filePath(m_tableFile), dxcc ? QStringLiteral("dxcc") : QStringLiteral("iota"),
               columns, sortItems, findFields);
    SortBy(dxcc ? QStringLiteral("NAME") : QStringLiteral("IOTA"));
}

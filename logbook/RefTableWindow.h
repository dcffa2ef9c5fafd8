#pragma once
// The common ground of the modal list windows over a reference table (the DXCC and IOTA
// lists, the callbook): the grid over the table's query, sorting by a column title or
// from the sort menu (keeping the current row), the first and last row commands, and the
// window's own find window.

#include "FindDialog.h"
#include "RefTableModel.h"

#include <QDialog>

class QAction;
class QActionGroup;
class QMenu;
class QToolBar;
class QToolButton;
class TdmLog;
class TLogGrid;
class TTableQuery;

class TRefTableWindow : public QDialog
{
    Q_OBJECT
public:
    struct TSortItem {
        QString caption;
        QString field;
    };
    // The object names of the window's commands, which differ between the windows.
    struct TActionNames {
        const char *find, *sort, *first, *last, *close;
    };

    // Locates the row whose field equals the value exactly; false (no move) when none does.
    bool Locate(const QString &field, const QVariant &value);

    // Sorting by a column title and by an item of the sort menu: nothing when the list is
    // already sorted by that field; else the list is re-read in the new order and the row
    // that was current stays current.
    void TitleClick(int column);
    void mnItmTriditClick(QAction *item);
    // The field the list is sorted by ("" before the first sort).
    QString SortField() const;
    // Marks the field's column and menu item and re-reads the list in its order; raises
    // EDatabaseError when the table cannot be read.
    void SortBy(const QString &field);

    TTableQuery *qList;
    TRefTableModel *model = nullptr;
    TLogGrid *grid;
    TfrmFind *find;
    QToolBar *tlBar;
    QMenu *pmSort;
    QToolButton *tlBtnSort;
    QActionGroup *sortGroup;
    QAction *actFind, *actSort, *actFirst, *actLast, *actClose;

protected:
    TRefTableWindow(TdmLog &dm, const TActionNames &names, QWidget *owner);

    // Builds the grid columns, the sort menu and the find window over the table.
    void SetupTable(const QString &filePath, const QString &tableName, const QList<TRefTableModel::TColumn> &columns,
                    const QList<TSortItem> &sortItems, const QList<TfrmFind::TFindField> &findFields);
    // Re-reads in the field's order, back on the row whose first field held `key`; a
    // failure leaves the list empty and is passed to ResortFailed.
    void Resort(const QString &field);
    virtual void ResortFailed(const QString &message);
    void UpdateFirstLast();

    void changeEvent(QEvent *event) override;

    TdmLog &m_dm;

private:
    void markSorted(const QString &field);
};

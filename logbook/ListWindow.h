#pragma once
// The modal browser of the two reference lists in the program folder: the DXCC entities
// (dxcc.db) and the IOTA islands (iota.db). The list sorts by any column, jumps to its
// first or last row and is searched with its own find window; its size and maximized
// state are kept per list in the operator settings.

#include "RefTableWindow.h"

class TfrmList : public TRefTableWindow
{
    Q_OBJECT
public:
    enum TListKind : quint8 { lkDxcc = 0, lkIota = 1 };

    explicit TfrmList(TdmLog &dm, QWidget *owner = nullptr);
    // Stores the window's size for its list.
    ~TfrmList() override;

    // Prepares the window for the list: size, find window, caption, columns, sort menu,
    // the initial order. Raises EDatabaseError when the table cannot be read; the caller
    // then releases the window without showing it.
    void SetupList(int kind);
    int Kind() const { return m_kind; }
    QString TableFileName() const { return m_tableFile; }

    void dbgListTitleClick(int column) { TitleClick(column); }

    QAction *actHelp;

private:
    quint8 m_kind = lkDxcc;
    QString m_tableFile;
    bool m_setUp = false;
};

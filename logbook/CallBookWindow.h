#pragma once
// The callbook window: browses the table of licensed stations (CallBook.db in the program
// folder), sorts and searches it, and replaces its whole content from a semicolon-separated
// text file. Modal; the main window and the QSO window position it on a call sign first.

#include "RefTableWindow.h"

class QMenuBar;

class TfrmCallBook : public TRefTableWindow
{
    Q_OBJECT
public:
    // Makes the window; without a callbook table it offers the import first.
    explicit TfrmCallBook(TdmLog &dm, QWidget *owner = nullptr);

    // Re-reads the table sorted by call sign; a table that cannot be read leaves the grid
    // empty.
    void NactiData();
    // Replaces the callbook by the stations of the file; refusals and failures leave the
    // old callbook and are reported. Ends with the table re-read. True when imported.
    bool ImportCSV(const QString &fileName);
    // The import command: a confirmation, the file choice, the import.
    void actNacistCSVExecute();

    void dbGrdCallTitleClick(int column) { TitleClick(column); }

    QMenuBar *mnBar;
    QAction *actNacistCSV;

protected:
    void ResortFailed(const QString &message) override;

private:
    void FormCreate();
};

#pragma once
// The statistics window "Statistika": DXCC entities, IOTA islands, ITU and WAZ zones and
// locator squares per band, worked and confirmed, under the statistics filter; the table
// can be saved as semicolon-separated text. Opened modally for one use.

#include "statistics/AwardStatistics.h"
#include "statistics/StatFilter.h"

#include <QDialog>

class QAction;
class QActionGroup;
class QLabel;
class QMenuBar;
class QStatusBar;
class QToolBar;
class TfrmDialog;
class TfrmStatFilter;
class TStatGrid;
struct TExchangeHost;

class TfrmStatTab : public QDialog
{
    Q_OBJECT
public:
    // log: the open log's connection; appDir: the program folder (dxcc.db, iota.db);
    // call: the open log's call sign (the saved file's proposed name); progress: the
    // shared progress window, may be null.
    TfrmStatTab(QSqlDatabase log, const QString &appDir, const QString &call, TfrmDialog *progress,
                QWidget *owner = nullptr);
    ~TfrmStatTab() override;

    // Shows the filter dialog; on OK builds the filter, enables "Filtr" and answers true.
    bool EditFilter();
    // Writes the table shown as a CSV file; a failure is reported.
    void SaveToFile(const QString &fileName);

    const TAwardStatistics &Statistics() const { return m_statistics; }
    const TStatFilter &Filter() const { return FFilter; }
    QString StatusPanelText(int panel) const;

    TStatGrid *dgdStat;
    TfrmStatFilter *frmStatFilter;
    QMenuBar *mnuMain;
    QToolBar *tlBar;
    QStatusBar *stBar;
    QAction *actSaveAs, *actExit;
    QAction *actStatDXCC, *actStatIOTA, *actStatITU, *actStatWAZ, *actStatLOC;
    QAction *actFilter;

protected:
    void changeEvent(QEvent *event) override;

private:
    struct TStatKind;
    QAction *newAction(const char *name, const QString &text, bool checkable = false);
    void createActions();
    void createMenus();
    void runStatistic(QAction *action);
    bool buildStatistic(const TStatKind &kind, int &confirmed, int &rows);
    void actFilterExecute();
    void actSaveAsExecute();

    TAwardStatistics m_statistics;
    TStatFilter FFilter;
    QString m_call;
    TfrmDialog *m_progress;
    QActionGroup *m_statGroup;
    QList<QLabel *> m_panels;
};

// The main window's "Statistika": the statistics window on the open log, modal.
void ShowStatistics(const TExchangeHost &host);

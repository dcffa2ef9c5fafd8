#pragma once
// "Import": the review window of every import. An importer fills its staging table and
// message lines and shows it modally; the operator reviews the staged QSOs, jumps from a
// message to its record, edits one record or the marked ones, deletes records, and
// either appends everything to the log ("Importovat") or drops it ("Zrušit"). The
// staging table goes with the window.

#include "import/ImportOptions.h"

#include <QDialog>

#include <memory>

class QAction;
class QListWidget;
class QListWidgetItem;
class QSplitter;
class QTableView;
class QToolBar;
class LogQuery;
class TImportStaging;
class TImportTableModel;
struct TExchangeHost;

class TfrmImport : public QDialog
{
    Q_OBJECT
public:
    // Creates the empty staging table in the temporary folder of host.dm; raises
    // EDatabaseError when it cannot.
    explicit TfrmImport(const TExchangeHost &host);
    ~TfrmImport() override;

    // Reads the ADIF file into the staging table (with the duplicate check against the
    // open log when the options ask for it), then shows the review. True when the staged
    // records were appended to the log. A file that cannot be read raises EVelkorError.
    bool ImportAdif(const QString &fileName, const TImportOptions &options);

    // For every importer: the staging table and message lines it fills.
    TImportStaging &Staging() { return *m_staging; }
    // Puts the summary above the message lines, shows the staged records and runs the
    // window modally; true when "Importovat" appended them to the log.
    bool ShowReview();

    // The log the records are appended to and the duplicates are looked up in: the
    // connection of the open log (TdmLog::DatabaseName unless set otherwise).
    void SetLogConnection(const QString &connectionName) { m_logConnection = connectionName; }

    QToolBar *tbMain;
    QTableView *dbGrid;
    QSplitter *splitter;
    QListWidget *lBoxErr;
    QAction *actEdit;
    QAction *actDelete;
    QAction *actImport;
    QAction *actCancel;
    QAction *actSelect;
    QAction *actSelectAll;
    QAction *actSelectNone;
    QAction *actHelp;

    LogQuery *query() const { return m_query; }
    TImportTableModel *model() const { return m_model; }

    // The commands, as their actions run them.
    void actEditExecute();
    void actDeleteExecute();
    void actImportExecute();
    void actSelectExecute();
    void actSelectAllExecute();
    void actSelectNoneExecute();
    void lBoxErrClick(QListWidgetItem *item);

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildLayout();
    void createActions();
    void FormCreate();
    void editCurrent();
    void editMarked();
    void reopen(int recNo);
    void followCurrentRow(int row);

    const TExchangeHost &m_host;
    std::unique_ptr<TImportStaging> m_staging;
    QString m_logConnection;
    LogQuery *m_query;
    TImportTableModel *m_model;
};

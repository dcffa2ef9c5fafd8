#pragma once
// The condition editor of the log filter. The operator lists conditions (field, operator,
// value); "Použít" turns them into the WHERE lines of the main window's grid query, with
// the values beside them (FSqlLines, FSqlValues). One instance lives for the whole run, so
// the conditions survive between uses. Modal results: 1 apply the lines, 2 change nothing
// (the rows of this visit are undone), 3 switch the filter off.

#include "log/LogFilter.h"

#include <QDialog>
#include <QStringList>
#include <QVariantList>

class QAction;
class QComboBox;
class QPushButton;
class QTableWidget;
class TSearchLineEdit;

class TfrmFilter : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmFilter(QWidget *owner = nullptr);

    // Runs the dialog modally (through the program's modal runner) and returns its result;
    // any result but 1 and 3 puts back the rows it found.
    int Execute();

    QList<TFilterRow> Rows() const;
    void SetRows(const QList<TFilterRow> &rows);
    // Empties the condition list (the log was closed).
    void ClearRows();

    // The field selected in the field box (a log field index).
    int SelectedField() const;
    void SelectField(int logField);

    void actPridatExecute();
    void actSmazatExecute();
    void actPouzitExecute();

    QStringList FSqlLines;
    QVariantList FSqlValues;

    QTableWidget *vedtFiltr;
    QComboBox *cbBoxPole;
    QComboBox *cbBoxOp;
    QComboBox *edtHod;
    TSearchLineEdit *edtHodEdit; // edtHod's edit line while it takes typed values
    QPushButton *btnAdd, *btnDel, *btnPouzit, *btnZavrit, *btnVypnout, *btnNapoveda;
    QAction *actPridat, *actSmazat, *actPouzit, *actZavrit, *actVypnout, *actHelp;

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void cbBoxPoleSelect();
    void appendRow(int position, const TFilterRow &row);
};

// The program's one filter dialog, made at start; null outside the run.
extern TfrmFilter *frmFilter;

#pragma once
// "Tisk deníku": prints the whole log, or only the QSOs marked in the log grid (copied
// by the main window into _Temp.db in the temporary folder), through the report
// "rprtDenik" of Tisk.rav, ordered by date, time and call. It renders once into Tisk.rnd
// and prints or previews that file; it renders again only after the printer or the range
// changed.

#include "ExchangeHost.h"
#include "report/PrintQuery.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class TPrintJob;

class TfrmTiskDenik : public QDialog
{
    Q_OBJECT
public:
    // Opens the report project; a missing Tisk.rav raises EReportError naming it, and the
    // dialog is not created.
    explicit TfrmTiskDenik(const TExchangeHost &host);
    ~TfrmTiskDenik() override;

    // The range: 0 "Vše", 1 "Vybraná spojení". Setting it does not check the marks.
    int RangeIndex() const;
    void SetRangeIndex(int index);

    // The table the report prints with the current range.
    QString TableFile() const;

    void GenerujData();
    void btnTiskClick();
    void btnNahledClick();
    void rGrpRozsahClick();
    void cbBoxTiskarnaChange();

    bool FDirty() const;
    TPrintJob &Job() const { return *m_job; }

    QLabel *lblTiskarna;
    QComboBox *cbBoxTiskarna;
    QGroupBox *rGrpRozsah;
    QRadioButton *rbVse, *rbVybrana;
    QPushButton *btnTisk, *btnNahled, *btnZavrit;

public slots:
    // Esc and the close box: the cancel result.
    void reject() override;

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();

    TExchangeHost m_host;
    std::unique_ptr<TPrintJob> m_job;
    TPrintQuery qTisk;
};

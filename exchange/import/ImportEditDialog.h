#pragma once
// "Editace spojení": the editor of one staged import record. It loads the record into
// its controls and checks the operator's input on "Uložit"; the review window writes the
// values back into the staged record after a modal result of 1.

#include "log/LogRecord.h"

#include <QDialog>

class QAction;
class QComboBox;
class QLineEdit;
class QPushButton;
class TDateEdit;
class TFilteredLineEdit;
class TFloatComboBox;
class TIOTAEdit;
class TLocatorEdit;
class TReportEdit;
class TTimeEdit;
class TDxccList;
struct TExchangeHost;

class TfrmImportEdit : public QDialog
{
    Q_OBJECT
public:
    // record: the staged record shown; host (may be null): the window it is centred over.
    explicit TfrmImportEdit(const TLogRecord &record, const TExchangeHost *host = nullptr);
    ~TfrmImportEdit() override;

    // Copies the record into the controls.
    void LoadData(const TLogRecord &record);
    // Writes the controls into the record as the review window stores them: typed values
    // by the fields' text conversion, the band from the frequency, the mode from its name,
    // the QSL states from the item indexes, and the distance to the partner's locator or
    // the entity of the DXCC code. A text a field cannot take raises EDatabaseError; the
    // fields written before it keep their new values.
    void StoreData(TLogRecord &record, TDxccList *dxcc) const;

    TDateEdit *edtDate;
    TTimeEdit *edtTime;
    TFilteredLineEdit *edtCall;
    TFloatComboBox *cbBoxFreq;
    QComboBox *cbBoxMode;
    TReportEdit *edtRSTo;
    TReportEdit *edtRSTp;
    TLocatorEdit *edtLOCo;
    TLocatorEdit *edtLOCp;
    QLineEdit *edtNote;
    TFilteredLineEdit *edtDxcc;
    TFilteredLineEdit *edtITU;
    TFilteredLineEdit *edtWAZ;
    TIOTAEdit *edtIOTA;
    TFilteredLineEdit *edtAward;
    QLineEdit *edtName;
    QLineEdit *edtQTH;
    QLineEdit *edtQSLvia;
    QComboBox *cbBoxQSLo;
    QComboBox *cbBoxQSLp;
    QComboBox *cbBoxEQSL;
    TFloatComboBox *cbBoxPWR;
    QPushButton *btnSave;
    QPushButton *btnClose;
    QAction *actSave;
    QAction *actClose;

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildLayout();
    void FormCreate();
    void actSaveExecute();

    const TExchangeHost *m_host;
    QList<QWidget *> m_inputs; // in tab order
};

#pragma once
// "Nový spot": the call sign, frequency in MHz and note of a spot the operator sends.

#include <QDialog>

class QComboBox;
class QLineEdit;

class TfrmWendraNewSpot : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxNoteLength = 28;

    explicit TfrmWendraNewSpot(QWidget *parent = nullptr);

    QLineEdit *edtCall;
    QComboBox *cbBoxFreq;
    QLineEdit *edtNote;
    QAction *actOk, *actCancel;

    void reject() override;

private:
    // OK: closes only with a call sign and a frequency that can be sent.
    void actOkExecute();
};

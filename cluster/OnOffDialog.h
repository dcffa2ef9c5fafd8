#pragma once
// "Nastavení": switches one display setting of the cluster on or off.

#include <QDialog>

class QLabel;
class QRadioButton;

class TfrmOnOff : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmOnOff(QWidget *parent = nullptr);

    QLabel *lblText;
    QRadioButton *rbOn;
    QRadioButton *rbOff;
    QAction *actOk, *actCancel;

    void reject() override;
};

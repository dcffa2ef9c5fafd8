#pragma once
// The statistics filter dialog "Nastavení statistiky": the modes, the date range and the
// power range whose QSOs the award statistics count. The statistics window owns one for
// its lifetime, so the choices stay from one showing to the next, also after a cancel.

#include "statistics/StatFilter.h"

#include <QDialog>

class QAction;
class QComboBox;
class QListWidget;
class QMenu;
class TDateEdit;

class TfrmStatFilter : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmStatFilter(QWidget *owner = nullptr);

    // The choices as the controls hold them now.
    TStatFilterChoice Choice() const;

    // Checks the input; on success closes the dialog with OK (modal result 1).
    void actOkExecute();
    // Esc and the close box: modal result 2.
    void reject() override;

    QListWidget *chlBoxModes;
    QMenu *pmMode;
    QAction *actModeAll;
    QAction *actModeNone;
    TDateEdit *edtDateMin;
    TDateEdit *edtDateMax;
    QComboBox *cbBoxPWRmin;
    QComboBox *cbBoxPWRmax;
    QAction *actOk;
    QAction *actCancel;

protected:
    void changeEvent(QEvent *event) override;

private:
    void createModeList();
    QComboBox *createPowerBox(const char *name);
    void checkAllModes(bool checked);
};

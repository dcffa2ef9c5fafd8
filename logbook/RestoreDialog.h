#pragma once
// The confirmation shown before a log is restored from a backup archive: which archive,
// and the call sign, date and time it holds, under the warning that every QSO of the log
// will be overwritten. The caller fills the four value labels, shows it modally and
// restores only on a modal result of 1 ("Pokračovat").

#include <QDialog>

class QAction;
class QLabel;
class QWidget;

class TfrmBackUpDlg : public QDialog
{
    Q_OBJECT
public:
    // centreOn: the window the dialog is centred on; the dialog has no owner.
    explicit TfrmBackUpDlg(QWidget *centreOn = nullptr);

    QWidget *pnlTitle;
    QLabel *lblFile;
    QLabel *lblCall;
    QLabel *lblDate;
    QLabel *lblTime;
    QAction *actOk;
    QAction *actCancel;

public slots:
    // Esc, "Zrušit" and the close box: modal result 2.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *m_centreOn;
};

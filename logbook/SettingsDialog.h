#pragma once
// The settings dialog of one operator's log. In edit mode it changes the settings of
// the open log in memory (they reach <CALL>.uf when the log is closed); in new-log mode
// it creates a new operator: a free slot in Velkor.ini, a complete settings file with
// the default column layout for this screen, and an empty log table.

#include <QDialog>
#include <QList>

#include <memory>

class QAction;
class QTableWidget;
class TdmLog;
class TUserOptions;

namespace Ui {
class frmOptions;
}

class TfrmOptions : public QDialog
{
    Q_OBJECT
public:
    // editUser true: edit the open log's settings (dm.UserOptions); false: create a log.
    TfrmOptions(TdmLog &dm, bool editUser, QWidget *parent = nullptr);
    ~TfrmOptions() override;

    // The preset lists as the dialog holds them (mode indexes, frequencies in MHz) and
    // the positions of their default entries.
    const QList<int> &modes() const { return FModes; }
    int defaultMode() const { return FDefMode; }
    const QList<double> &freqs() const { return FFreqs; }
    int defaultFreq() const { return FDefFreq; }

    // The text an untouched password field shows while a password is stored.
    static const QString StoredPasswordMask;

public slots:
    // Esc and the close box cancel, as "Zrušit" does.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void FormCreate();
    void setupActions();
    void setupGrid(QTableWidget *grid, const QStringList &titles, const QList<int> &widths);
    void LoadOptions();
    void SaveOptions();
    bool CreateUser();
    void writeNewUserSettings(TUserOptions &options);
    bool checkInput();

    void chSyncTimeClick();
    void btnBackUpDirClick();

    void refreshModeGrid();
    void btnModeAddClick();
    void btnModeDelClick();
    void btnModeDefClick();
    void btnModeUpClick();
    void btnModeDownClick();

    void refreshFreqGrid();
    void btnFreqAddClick();
    void btnFreqDelClick();
    void btnFreqDefClick();
    void btnFreqUpClick();
    void btnFreqDownClick();

    void actSaveExecute();
    void actCancelExecute();
    void actHelpExecute();

    std::unique_ptr<Ui::frmOptions> ui;
    TdmLog &m_dm;
    bool FEditUser;
    std::unique_ptr<TUserOptions> m_ownOptions; // new-log mode only
    TUserOptions *FOptions = nullptr;
    QList<int> FModes;
    int FDefMode = 0;
    QList<double> FFreqs;
    int FDefFreq = 0;

    QAction *actSave = nullptr;
    QAction *actCancel = nullptr;
    QAction *actHelp = nullptr;
};

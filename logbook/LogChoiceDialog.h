#pragma once
// The log choice dialog: lists the logs registered in Velkor.ini, opens the chosen
// one, creates a new one through the settings dialog and deletes one with its files.
// It holds no data of its own; the main window's close and open operations are handed
// to it, so that it works the same at program start, from the main window and in tests.

#include <QDialog>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class TdmLog;

namespace Ui {
class frmProfile;
}

class TfrmProfile : public QDialog
{
    Q_OBJECT
public:
    using CloseLogFn = std::function<void()>;
    using OpenLogFn = std::function<void(const QString &logName)>;

    // closeLog and openLog are the main window's CloseLog and OpenLog.
    TfrmProfile(TdmLog &dm, CloseLogFn closeLog, OpenLogFn openLog, QWidget *parent = nullptr);
    ~TfrmProfile() override;

    // Turns the bottom button into "Konec": leaving the dialog without a log then
    // means ending the program, which the dialog asks to confirm. Used at program start,
    // and by the dialog itself after it deleted the open log.
    void BindCancelToExit();
    bool cancelIsExit() const { return m_cancelIsExit; }

    void FillUserList();

public slots:
    // Esc, "Zpět"/"Konec" and the close box all end here.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setupActions();
    void bindCancel(QAction *action, const QString &hint);
    QString selectedCall() const;
    bool FormCloseQuery(int result);
    void finish(int result);

    void actUserDepUpdate();
    void actSelectExecute();
    void actNewExecute();
    void actDeleteExecute();
    void actCloseExecute();
    void actHelpExecute();

    std::unique_ptr<Ui::frmProfile> ui;
    TdmLog &m_dm;
    CloseLogFn m_closeLog;
    OpenLogFn m_openLog;
    bool m_cancelIsExit = false;
    QMetaObject::Connection m_cancelClick;
    QMetaObject::Connection m_cancelSync;

    QAction *actSelect = nullptr;
    QAction *actNew = nullptr;
    QAction *actDelete = nullptr;
    QAction *actClose = nullptr;
    QAction *actExit = nullptr;
    QAction *actHelp = nullptr;
    QMenu *pmProfile = nullptr;
};

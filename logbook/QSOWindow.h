#pragma once
// The QSO window: the modal form in which the operator enters new QSOs (mode 0, any
// number of them, the form cleared after each), looks at a logged one (mode 1, read-only)
// or edits it (mode 2, one save closes the window). View and edit concern the current
// record of the main window's grid query.
//
// QSOWindow.cpp holds the window's life (presets, keys, quick entry, clock, DXCC panel,
// clearing and closing, the call-sign receiver), QSOWindowLayout.cpp its face (actions,
// groups, fields, pop-up menu), QSOWindowLookup.cpp what leaving a field works out (time
// stamp, entity, earlier QSOs, fills, hints, distance), and QSOWindowSave.cpp the save
// command.

#include "system/ClusterLinkRecords.h"
#include "log/LogQuery.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class PreviousQsoModel;
class TCallBookLookup;
class TDateEdit;
class TdmLog;
class TDxccList;
class TFilteredLineEdit;
class TFloatComboBox;
class TIOTAEdit;
class TLocalEndpoint;
class TLocatorEdit;
class TLogGrid;
class TReportEdit;
class TTimeEdit;
struct TLogRecord;

// What the window works with besides its own controls; the main window fills it in.
struct TQsoWindowContext {
    TdmLog *dm = nullptr;               // folders, the operator's settings, the log's database
    TDxccList *dxccList = nullptr;      // shared entity list; the window shows its current entity
    LogQuery *mainQuery = nullptr;      // the main window's grid query
    QWidget *mainWindow = nullptr;      // minimised instead of the window, brought forward with it
    // The main window's RefreshLog (showProgress, keepPosition).
    std::function<void(bool, bool)> refreshLog;
    // The same after the window wrote only these QSOs (changedIds, showProgress,
    // keepPosition): only they are read again. Without it refreshLog serves.
    std::function<void(const QList<qint64> &, bool, bool)> refreshWritten;
};

class TfrmQSO : public QDialog
{
    Q_OBJECT
public:
    enum TQsoMode : int { qmNew = 0, qmView = 1, qmEdit = 2 };

    // The local endpoint under which other programs hand a call sign to the window.
    static constexpr auto EndpointName = "TfrmQSO";
    // The field behind each bit of the quick-entry mask: its tab order in the group.
    static constexpr int QuickFieldCount = 20;
    // Windows of other parts of the program that the window opens (callbook, DXCC and
    // IOTA lists); an action without a handler stays disabled.
    static std::function<void(TfrmQSO &)> CallBookHandler;
    static std::function<void(TfrmQSO &)> DxccListHandler;
    static std::function<void(TfrmQSO &)> IotaListHandler;

    TfrmQSO(int mode, const TQsoWindowContext &context, QWidget *parent = nullptr);
    ~TfrmQSO() override;

    int Mode() const { return m_mode; }

    // --- operations of the window ---
    void ClearForm();
    void LoadFromLog();
    void SetReadOnly(bool value);
    void SetQuickQSO(bool value);
    void SetOfflineTime(bool value);
    void OnDxccChange();
    // A call sign and frequency handed over by another program (new mode only).
    void WMCopyData(const TCopyToLogData &data);

    // --- look-ups (QSOWindowLookup.cpp) ---
    void InsertDateTime();
    void ShowPreviousQSOs();
    void FillFromPreviousQSOs(const QString &call);
    void FillFromCallBook(const QString &call);
    void UpdateNewCountry();
    void UpdatePseQsl();
    int GetQRB() const;
    int GetAzimuth() const;
    void ShowDistanceAzimuth();

    // --- state, for the main window and tests ---
    bool Modified() const { return FModified; }
    bool RefreshNeeded() const { return FRefreshNeeded; }
    bool QuickQSO() const { return FQuickQSO; }
    quint32 QuickMask() const { return FQuickMask; }
    const QStringList &SessionList() const { return FSessionList; }
    QString LastCall() const { return FLastCall; }
    QWidget *LastControl() const { return FLastControl; }
    // The QSO fields in tab order (index = bit of the quick-entry mask).
    const std::array<QWidget *, QuickFieldCount> &QsoFields() const { return m_fields; }
    // The pop-up menu of the QSO fields as it would open on the control.
    QMenu *PopupMenuFor(QWidget *control);
    LogQuery *PreviousQuery() const { return qPred; }
    TLocalEndpoint *Endpoint() const { return m_endpoint; }

    // --- controls ---
    QGroupBox *grpBoxInfo, *grpBoxZemInf, *grpBoxUTC, *grpBoxPredQSO, *grpBoxSpojeni, *grpBoxVlastni,
        *grpBoxVolby;
    QLabel *lblDxccDXCC, *lblDxccName, *lblDxccLatitude, *lblDxccLongitude, *lblDxccCont, *lblDxccTime,
        *lblDistance, *lblAzimuth;
    QLabel *lblClockTime, *lblClockDate;
    QLabel *lblBand, *lblPseQsl, *lblNovaZeme;
    QLabel *lblCall, *lblIOTA, *lblDXCC; // the three link labels
    TLogGrid *dbgLastQSO;

    TFilteredLineEdit *edtCall;
    TFloatComboBox *cbFreq;
    QComboBox *cbMode;
    TReportEdit *edtRSTo, *edtRSTp;
    QLineEdit *edtName, *edtQTH;
    TLocatorEdit *edtLOCp;
    TIOTAEdit *edtIOTA;
    TFilteredLineEdit *edtAward, *edtDXCC, *edtITU, *edtWAZ;
    QLineEdit *edtQSLmgr;
    QComboBox *cbQSLo, *cbQSLp, *cbEQSL;
    QLineEdit *edtNote;
    TTimeEdit *edtTime;
    TDateEdit *edtDate;
    TLocatorEdit *edtLOCo;
    TFloatComboBox *cbPWR;
    QCheckBox *chQuickQSO, *chLockNote, *chOffline;
    QPushButton *btnSave, *btnZavrit;

    QAction *actSave, *actClose, *actClearForm, *actInsertDateTime, *actPasmoUp, *actPasmoDown, *actModUp,
        *actModDown, *actSkipQuickQSO, *actCopy, *actPaste, *actCallBook, *actDxccList, *actIOTAList,
        *actHelp;

public slots:
    // Esc and the close box go through the close questions.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Window (QSOWindow.cpp)
    void createLayout();
    void createSpojeni();
    QWidget *createInfoColumn();
    QLayout *createSettingsRow();
    void sizeLastQsoColumns();
    void createActions();
    void createPopupMenu();
    void setTabOrders();
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormDestroy();
    void refreshMainLog(bool showProgress, bool keepPosition);
    void tmClockTimer();
    void actClearFormExecute();
    void actInsertDateTimeExecute();
    void stepPreset(QComboBox *box, bool next);
    void actSkipQuickQSOExecute();
    QLineEdit *clipboardField() const;
    void actCopyExecute();
    void actPasteExecute();
    void actHelpExecute();
    void checkBoxClicked(QCheckBox *box);
    void setBandLabel();
    void fieldChanged();
    bool fieldKeyPress(QWidget *field, QKeyEvent *event);
    void linkLabelEvent(QLabel *label, QEvent *event);
    void showPopup(QWidget *control, const QPoint &globalPos);
    QWidget *fieldOf(QObject *object) const;
    bool isField(QWidget *widget) const;
    void setFieldBackground(QWidget *field, const QColor &colour);
    void bringForward();

    // Look-ups (QSOWindowLookup.cpp)
    void focusChanged(QWidget *old, QWidget *now);
    void runExitHandler(QWidget *field);
    void CallExit();
    void DXCCExit();
    void FreqExit();
    void ModeExit();
    void LocExit(TLocatorEdit *edit);
    void NameExit();
    void QTHExit();
    QList<TLogRecord> previousRows() const;

    // Save (QSOWindowSave.cpp)
    void actSaveExecute();
    enum class TSaveResult { Saved, Refused, NotWritten };
    // The save command up to the write: checks, then the record written.
    TSaveResult SaveQSO();
    bool SaveToLog();
    TLogRecord RecordFromForm() const;

    const int m_mode;
    TQsoWindowContext m_context;
    qint64 m_editId = 0; // ID of the viewed or edited QSO
    // The QSOs written since the main window was last refreshed; unknown after a failed
    // write, when the whole log is read again.
    QList<qint64> m_writtenIds;
    bool m_writtenKnown = true;

    QStringList FSessionList;
    QWidget *FLastControl = nullptr;
    bool FQuickQSO = false;
    bool FOfflineTime = false;
    bool FLockNote = false;
    bool FLookInLog = true;
    bool FLookInCB = true;
    bool FRefreshLog = true;
    bool FNameUpCase = true;
    bool FRefreshNeeded = false;
    bool FModified = false;
    QString FLastCall = QStringLiteral("-");
    QString FLastDxcc = QStringLiteral("-");
    quint32 FQuickMask = 0;

    bool m_stepping = false;   // preset stepping changes no "modified" state
    bool m_shown = false;
    bool m_exitRan = false;    // set by every exit handler (to tell whether the focus move ran one)
    LogQuery *qPred;
    PreviousQsoModel *m_predModel;
    std::unique_ptr<TCallBookLookup> qCallBook;
    QTimer *tmClock;
    QMenu *pmField;
    QWidget *m_popupControl = nullptr;
    TLocalEndpoint *m_endpoint = nullptr;
    std::array<QWidget *, QuickFieldCount> m_fields{};
    QList<QWidget *> m_modifyingFields; // the 22 fields whose change sets FModified
};

#pragma once
// "Nastavení importu": before every import the operator confirms or changes the preset
// options; the controls of options the source cannot use are greyed out and keep their
// preset values. Confirming needs a valid six-character own locator and a power.

#include "import/ImportOptions.h"

#include <QDialog>

#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TFloatComboBox;
class TLocatorEdit;
struct TExchangeHost;

class TfrmImportOptions : public QDialog
{
    Q_OBJECT
public:
    // host (may be null): the main window the dialog is centred over and minimised in
    // its place, and the help.
    explicit TfrmImportOptions(const TExchangeHost *host = nullptr);
    ~TfrmImportOptions() override;

    // Shows the options modally; true, with the record rewritten from the controls, when
    // the operator confirmed with "Pokračovat"; false with the record as it was.
    bool Execute(TImportOptions &options, TImportDisable disable);

    TLocatorEdit *edtLoc;
    TFloatComboBox *cbPWR;
    QCheckBox *chImportSTXSRX;
    QCheckBox *chReplaceNote;
    QLabel *lblNote;
    QLineEdit *edtNote;
    QComboBox *cbCharSet;
    QCheckBox *chDupe;
    QPushButton *btnNext;
    QPushButton *btnCancel;
    QAction *actNext;
    QAction *actCancel;
    QAction *actHelp;

public slots:
    void reject() override;

protected:
    void changeEvent(QEvent *event) override;

private:
    void FormCreate();
    void actNextExecute();
    void chReplaceNoteClick();
    void load(const TImportOptions &options, TImportDisable disable);
    void store(TImportOptions &options) const;

    const TExchangeHost *m_host;
};

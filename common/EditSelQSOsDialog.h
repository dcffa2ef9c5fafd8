#pragma once
// The bulk edit dialog: the operator picks one field of the log record and types or picks
// one value for it. The dialog writes nothing; after a modal result of 1 the caller reads
// SelectedField() and SelectedValue() and applies them to its marked QSOs.

#include <QDialog>

#include <array>

class QAction;
class QComboBox;
class QGroupBox;

// The log-field positions behind the entries of the field list, in list order.
inline constexpr std::array<int, 21> EditFieldIndexes{1,  2,  4,  6,  7,  8,  11, 12, 9,  10, 13,
                                                      14, 15, 16, 20, 21, 22, 23, 24, 18, 17};

class TfrmEditSelQSOs : public QDialog
{
    Q_OBJECT
public:
    // mainWindow: the window the dialog is centred over and that is minimised in its
    // place; the dialog has no owner.
    explicit TfrmEditSelQSOs(QWidget *mainWindow = nullptr);
    ~TfrmEditSelQSOs() override;

    // The chosen log field (EditFieldIndexes at the selected entry).
    int SelectedField() const;
    // The value as the caller writes it: the text of the value box; for the mode the mode
    // index of the chosen name, for the QSL states the chosen state, both as numbers.
    QString SelectedValue() const;

    QGroupBox *grpBoxData;
    QComboBox *cbBoxField;
    QComboBox *cbBoxValue;
    QAction *actSave;
    QAction *actClose;

public slots:
    // Esc and the close box: modal result 2.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void cbBoxFieldChange();
    void actSaveExecute();
    void actCloseExecute();
    bool checkValue();

    QWidget *m_mainWindow;
};

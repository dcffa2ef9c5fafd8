#pragma once
// The small modal dialog for picking or typing one value: a label over a combo box with
// "Ok" and "Zrušit". The caller fills ComboBox's items, calls ShowModal with the caption,
// the label and the style, and reads ComboBox's index or text afterwards.

#include <QDialog>

class QAction;
class QComboBox;
class QLabel;

class TfrmComboBox : public QDialog
{
    Q_OBJECT
public:
    // The combo box styles: a list with an edit line, an edit line alone, a fixed list.
    enum TStyle { csDropDown = 0, csSimple = 1, csDropDownList = 2 };

    explicit TfrmComboBox(QWidget *owner = nullptr);

    // Caption and label texts and the style, then the dialog runs modally (through the
    // program's modal runner); returns the modal result (1 OK, 2 cancel).
    int ShowModal(const QString &caption, const QString &text, TStyle style);

    QLabel *lblText;
    QComboBox *ComboBox;
    QAction *actOk;
    QAction *actCancel;

public slots:
    // Esc and the close box: modal result 2.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void applyStyle(TStyle style);
};

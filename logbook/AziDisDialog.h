#pragma once
// The locator calculator: distance and bearing between two Maidenhead locators, the
// locator of a point given in degrees, minutes and seconds, and the coordinates of a
// locator's centre, on three pages. The locator boxes remember the valid locators used
// while the window is open.

#include <QDialog>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class TFilteredLineEdit;

class TfrmAziDis : public QDialog
{
    Q_OBJECT
public:
    // ownLocator: the operator's own locator (empty when the settings hold no valid one).
    explicit TfrmAziDis(const QString &ownLocator, QWidget *owner = nullptr);

    // The calculation of the page shown.
    void actVypocetExecute();
    // Appends the box's locator to its list when it is a valid six-character one not listed yet.
    static void AddLoc(QComboBox *box);

    QTabWidget *pgControl = nullptr;
    QComboBox *cbBoxLoc = nullptr, *cbBoxLocVl = nullptr, *cbBoxLoc1 = nullptr;
    QLineEdit *edtD1 = nullptr, *edtM1 = nullptr, *edtS1 = nullptr, *edtO1 = nullptr;
    QLineEdit *edtD2 = nullptr, *edtM2 = nullptr, *edtS2 = nullptr, *edtO2 = nullptr;
    QLabel *lblVzdal = nullptr, *lblAzi = nullptr, *lblLocRes = nullptr, *lblDelka = nullptr, *lblSirka = nullptr;
    QAction *actVzdal = nullptr, *actZavrit = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QWidget *createDistancePage();
    QWidget *createCoordinatesPage();
    QWidget *createLocatorPage();
    QComboBox *makeLocatorBox(const char *name);
    QLineEdit *makeCoordinateEdit(const char *name, int maxLength);
    void pgControlChange();
    bool locatorKey(QComboBox *box, QKeyEvent *key);
    bool coordinateKey(QLineEdit *edit, QKeyEvent *key);
    void moveFocus(QLineEdit *edit, bool next);

    QList<QComboBox *> m_locatorBoxes;
    QList<QLineEdit *> m_coordinateEdits;
};

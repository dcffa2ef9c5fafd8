#pragma once
// The small modeless search window of a grid: it moves the grid's query to the next
// record whose chosen field matches the typed value. Each window that searches a grid owns
// one and sets it up once with its query (as a find source), its grid and the searchable
// fields; it stays on top of its owner and is shown and hidden any number of times.

#include <QDialog>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QPushButton;
class TFindMatch;
class TFindSource;
class TLogGrid;
class TSearchLineEdit;

class TfrmFind : public QDialog
{
    Q_OBJECT
public:
    // How a field is searched.
    enum TFindKind : quint8 {
        fkDate = 0,    // date equality
        fkCall = 1,    // call-sign mask
        fkLocator = 2, // locator mask
        fkIOTA = 3,    // IOTA reference mask
        fkText = 4,    // free text mask, letter case optional
    };
    struct TFindField {
        QString caption;
        TFindKind kind;
        int field; // index among the query's fields
    };

    explicit TfrmFind(QWidget *owner);
    ~TfrmFind() override;

    // Takes the source (owned from now on) and the grid that shows it, fills the field box
    // and selects its first field.
    void Setup(TFindSource *source, TLogGrid *grid, const QList<TFindField> &fields);

    // What a search for the text in a field of the kind accepts; nothing for a date kind
    // whose text is no date, which finds nothing.
    static std::optional<TFindMatch> MatchFor(TFindKind kind, const QString &text, bool caseSensitive);

    // The search; true when a record was found.
    bool actFindExecute();
    // Shows the window (or brings it forward) with the focus in the search box.
    void ShowFind();
    // Gives the focus back to the search box when the window is shown.
    void RefocusSearch();

    QComboBox *cbBoxData;
    TSearchLineEdit *edtData; // cbBoxData's edit line
    QComboBox *cbBoxField;
    QCheckBox *chBoxFirst;
    QCheckBox *chBoxCase;
    QPushButton *btnFind;
    QPushButton *btnClose;
    QAction *actFind;
    QAction *actClose;
    QAction *actHelp;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void cbBoxFieldChange();
    void chBoxFirstChange();
    void moveRecord(int delta);
    int search(int from, const TFindField &field, const QString &text) const;

    std::unique_ptr<TFindSource> m_source;
    TLogGrid *m_grid = nullptr;
    QList<TFindField> m_fields;
};

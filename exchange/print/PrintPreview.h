#pragma once
// The print preview "Náhled": a maximised modal window in which the operator pages
// through a rendered report before printing it. It only shows; it neither prints nor
// changes the file.

#include <QDialog>
#include <QStyle>

class QAction;
class QIODevice;
class QLabel;
class QScrollArea;
class QStatusBar;
class QToolBar;
class TRvPreview;

class TfrmNahled : public QDialog
{
    Q_OBJECT
public:
    // mainWindow: minimised in this window's place (may be null).
    explicit TfrmNahled(QWidget *mainWindow = nullptr);

    // The page counter, "Strana %-3d z %3d".
    static QString PageCounter(int page, int pageCount);

    QToolBar *tlBar;
    QScrollArea *ScrollBox;
    QStatusBar *StatusBar;
    QLabel *lblPage; // the status bar's one panel
    TRvPreview *RvPreview;
    QAction *actFirst, *actPrior, *actNext, *actLast, *actZoomOut, *actZoomIn, *actZavrit;

public slots:
    // Esc and the close box: the cancel result.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QAction *newAction(const char *name, const QString &caption, const QString &hint,
                       QStyle::StandardPixmap icon);
    void actStranaExecute(QAction *sender);
    void actZoomExecute(QAction *sender);
    void RvPreviewPageChange();

    QWidget *m_mainWindow;
};

#pragma once
// The logbook's small status window for long operations: a framed panel without title
// bar holding a centred text and either a gauge or one button. It is modeless; the
// operation that shows it keeps running and updates it, and every change is painted at
// once because the event loop does not run meanwhile. One instance lives for the run.

#include <QPointer>
#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

class TfrmDialog : public QWidget
{
    Q_OBJECT
public:
    using ButtonHandler = std::function<void()>;

    // mainWindow: the window it is centred over and repainted with (may be null).
    explicit TfrmDialog(QWidget *mainWindow = nullptr);

    // Text only.
    void ShowInfo(const QString &text);
    // Text with the gauge over [minimum, maximum], progress at 0.
    void ShowProgress(const QString &text, int minimum, int maximum);
    // Text with one button; without a handler the button closes the window.
    void ShowWithButton(const QString &text, const QString &caption, ButtonHandler handler = {});

    void SetText(const QString &text);
    // Values outside the gauge's range show as its nearest end.
    void SetProgress(int value);
    // SetProgress as a progress callback for the long operations.
    std::function<void(int)> ProgressCallback();

    // The default button handler: closes the window.
    void Zavrit();

    QLabel *lblText() const { return m_lblText; }
    QProgressBar *pgBar() const { return m_pgBar; }
    QPushButton *Btn() const { return m_btn; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void showNow();
    void repaintMainWindow();
    void btnClick();

    QWidget *m_mainWindow;
    QLabel *m_lblText;
    QProgressBar *m_pgBar;
    QPushButton *m_btn;
    ButtonHandler m_handler;
};

// Closes the progress window when the operation that showed it ends, also when the
// operation fails with an exception; a null window is left alone.
class TfrmDialogCloser
{
public:
    explicit TfrmDialogCloser(TfrmDialog *dialog) : m_dialog(dialog) {}
    ~TfrmDialogCloser()
    {
        if (m_dialog)
            m_dialog->close();
    }
    TfrmDialogCloser(const TfrmDialogCloser &) = delete;
    TfrmDialogCloser &operator=(const TfrmDialogCloser &) = delete;

private:
    QPointer<TfrmDialog> m_dialog;
};

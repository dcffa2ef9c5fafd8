#pragma once
// One borderless window in two roles: the splash screen during start-up, with a gauge
// counting the start-up steps, and the modal box of the command "O programu". It shows
// the program's picture, the version, the authorship line and links to e-mail and web.

#include <QDialog>

class QLabel;
class QProgressBar;

// The values both the start-up and the "O programu" command show.
extern const char *const AboutAuthorship;
extern const char *const AboutEMail;
extern const char *const AboutWeb;

class TfrmAbout : public QDialog
{
    Q_OBJECT
public:
    // centreOver: the window to centre on (the main window); without one, the screen.
    // The window has no owner: whoever creates it deletes it.
    explicit TfrmAbout(QWidget *centreOver = nullptr);

    // Version, authorship line, e-mail address, web address.
    void SetInfo(const QString &version, const QString &author, const QString &email, const QString &web);
    // The program's version and our authorship line and addresses.
    void SetDefaultInfo();

    void InitProgress(int minimum, int maximum, bool visible);
    void SetProgress(int value);

    // enabled: whether keys and clicks do anything (not while it is the splash screen).
    // modal: shows it modally and returns the modal result; else shows it at once and
    // returns 0.
    int ShowAbout(bool enabled, bool modal);

    QLabel *lblVersion() const { return m_lblVersion; }
    QLabel *lblEMail() const { return m_lblEMail; }
    QLabel *lblWWW() const { return m_lblWWW; }
    QLabel *ImgLogo() const { return m_imgLogo; }
    QProgressBar *pgBar() const { return m_pgBar; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *addLabel(const QString &text, const QRect &geometry, bool closesBox = true);
    QLabel *addLink(const QRect &geometry);
    void lblLinkClick(QLabel *link);
    void lblLinkMouseEnter(QLabel *link);
    void lblLinkMouseLeave(QLabel *link);
    void MouseClick();
    void centre();

    QWidget *m_centreOver;
    bool m_acceptsInput = false;
    QLabel *m_imgLogo;
    QLabel *m_lblVersion = nullptr;
    QLabel *m_lblAuthor = nullptr;
    QLabel *m_lblEMail = nullptr;
    QLabel *m_lblWWW = nullptr;
    QProgressBar *m_pgBar;
};

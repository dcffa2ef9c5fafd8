#pragma once
// Combo box for a decimal number (frequency, power) with a list to pick from. The decimal
// separator is ",": typing "," or "." puts it at the caret and removes any other one, and
// on leaving the field the number is written back in the display form Format
// ("0.###": 3,50 becomes 3,5). Text that is no number stays as typed.

#include <QComboBox>

class TFilteredLineEdit;

class TFloatComboBox : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(QString Format READ Format WRITE SetFormat)
    Q_PROPERTY(double Value READ Value WRITE SetValue)
public:
    explicit TFloatComboBox(QWidget *parent = nullptr);

    QString Format() const { return m_format; }
    // Keeps only the characters "#", "." and "0" of format, in their order.
    void SetFormat(const QString &format);

    // The number the text holds; ok (when given) tells whether it holds one. Empty text
    // holds none and gives 0.
    double Value(bool *ok = nullptr) const;
    // Shows the number in the display form Format.
    void SetValue(double value);

    // Writes the number back in the display form, as leaving the field does.
    void formatOnExit();

    TFilteredLineEdit *edit() const { return m_edit; }

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void filterKey(QChar &key);
    void placeSeparator();
    QString formatted(double value) const;

    QString m_format = QStringLiteral("0.###");
    TFilteredLineEdit *m_edit;
};

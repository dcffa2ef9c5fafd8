#include "FloatComboBox.h"

#include "FilteredLineEdit.h"
#include "base/Formats.h"
#include "radio/KeyFilters.h"

#include <QFocusEvent>

TFloatComboBox::TFloatComboBox(QWidget *parent) : QComboBox(parent), m_edit(new TFilteredLineEdit(this))
{
    setLineEdit(m_edit);
    // Enter confirms the value; it must not grow the list of offered values.
    setInsertPolicy(QComboBox::NoInsert);
    m_edit->setKeyFilter([this](QChar &key) { filterKey(key); });
}

void TFloatComboBox::SetFormat(const QString &format)
{
    QString kept;
    for (QChar c : format)
        if (c == u'#' || c == u'.' || c == u'0')
            kept += c;
    m_format = kept;
}

double TFloatComboBox::Value(bool *ok) const
{
    double value = 0.0;
    const bool converted = Formats::tryStrToFloat(currentText(), value);
    if (ok)
        *ok = converted;
    return converted ? value : 0.0;
}

void TFloatComboBox::SetValue(double value)
{
    setEditText(formatted(value));
}

QString TFloatComboBox::formatted(double value) const
{
    // A form without any digit place shows the number in its shortest general form.
    return m_format.isEmpty() ? Formats::floatToStr(value) : Formats::formatFloat(m_format, value);
}

void TFloatComboBox::filterKey(QChar &key)
{
    FloatKeyFilter(key); // "." becomes ","; digits and "," pass
    if (key == Formats::DecimalSeparator) {
        placeSeparator();
        key = KeyNull; // placed above, not typed
    }
}

// The separator goes to the caret (replacing a selection), with a "0" before it when
// no digit precedes, and every other separator goes away.
void TFloatComboBox::placeSeparator()
{
    QString text = m_edit->text();
    int caret = m_edit->cursorPosition();
    if (m_edit->hasSelectedText()) {
        caret = m_edit->selectionStart();
        text.remove(caret, m_edit->selectedText().size());
    }
    QString before = text.left(caret).remove(Formats::DecimalSeparator);
    const QString after = text.mid(caret).remove(Formats::DecimalSeparator);
    if (before.isEmpty())
        before = QStringLiteral("0");
    before += Formats::DecimalSeparator;
    m_edit->replaceText(before + after, int(before.size()));
}

void TFloatComboBox::formatOnExit()
{
    bool ok = false;
    const double value = Value(&ok);
    if (ok && formatted(value) != currentText())
        setEditText(formatted(value));
}

void TFloatComboBox::focusOutEvent(QFocusEvent *event)
{
    // The drop-down list takes the focus only for a moment.
    if (event->reason() != Qt::PopupFocusReason)
        formatOnExit();
    QComboBox::focusOutEvent(event);
}

#include "SearchLineEdit.h"

#include "radio/KeyFilters.h"

TSearchLineEdit::TSearchLineEdit(QWidget *parent) : TFilteredLineEdit(parent) {}

void TSearchLineEdit::SetKeyKind(TKeyKind kind, const QString &extra)
{
    m_kind = kind;
    m_extra = extra;
}

void TSearchLineEdit::filterKey(QChar &key)
{
    switch (m_kind) {
    case kkNone:
        break;
    case kkCall:
        CallKeyFilter(key, m_extra);
        break;
    case kkCallDash:
        CallDashKeyFilter(key, m_extra);
        break;
    case kkLocator:
        LocatorKeyFilter(key, insertPosition(), m_extra);
        break;
    case kkIOTA:
        IOTAKeyFilter(key, insertPosition(), m_extra);
        break;
    case kkDate:
        applyTypingAid(key, DateKeyFilter);
        break;
    case kkFindDate:
        if (selectedText().size() == text().size()) {
            clear();
            break;
        }
        applyTypingAid(key, DateKeyFilter);
        break;
    case kkDigit:
        DigitKeyFilter(key);
        break;
    case kkFloat:
        FloatKeyFilter(key);
        break;
    }
}

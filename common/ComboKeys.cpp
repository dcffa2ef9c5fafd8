#include "ComboKeys.h"

#include <QComboBox>
#include <QLineEdit>

void WatchComboKeys(QComboBox *box, QObject *filter)
{
    box->installEventFilter(filter);
    if (QLineEdit *edit = box->lineEdit())
        edit->installEventFilter(filter);
}

bool IsComboEventOf(const QObject *watched, const QComboBox *box)
{
    return box && watched && (watched == box || watched == box->lineEdit());
}

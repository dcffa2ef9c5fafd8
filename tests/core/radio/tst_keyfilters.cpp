#include "radio/KeyFilters.h"

#include <QTest>

using FieldFilter = void (*)(QChar &, QString &, int &);

namespace {

// Types the keys into a field the way an edit control does: the filter runs first, then a
// kept key is inserted at the caret and Backspace removes the character before it.
QString typeInto(FieldFilter filter, const QString &keys, QString text = QString(), int caret = -1)
{
    if (caret < 0)
        caret = int(text.size());
    for (QChar key : keys) {
        filter(key, text, caret);
        if (key == KeyBackspace) {
            if (caret > 0)
                text.remove(--caret, 1);
        } else if (key != KeyNull) {
            text.insert(caret++, key);
        }
    }
    return text;
}

QChar filtered(void (*filter)(QChar &, const QString &), QChar key, const QString &extra = QString())
{
    filter(key, extra);
    return key;
}

QChar filtered(void (*filter)(QChar &), QChar key)
{
    filter(key);
    return key;
}

QChar filteredAt(void (*filter)(QChar &, int, const QString &), QChar key, int caret,
                 const QString &extra = QString())
{
    filter(key, caret, extra);
    return key;
}

} // namespace

class TestKeyFilters : public QObject
{
    Q_OBJECT
private slots:
    void callFilter()
    {
        QCOMPARE(filtered(CallKeyFilter, u'a'), QChar(u'A'));
        QCOMPARE(filtered(CallKeyFilter, u'/'), QChar(u'/'));
        QCOMPARE(filtered(CallKeyFilter, u'7'), QChar(u'7'));
        QCOMPARE(filtered(CallKeyFilter, u'-'), KeyNull);
        QCOMPARE(filtered(CallKeyFilter, u'*'), KeyNull);
        QCOMPARE(filtered(CallKeyFilter, u'č'), KeyNull);
        QCOMPARE(filtered(CallKeyFilter, KeyBackspace), KeyBackspace);
        QCOMPARE(filtered(CallKeyFilter, u'*', "*?"), QChar(u'*'));
        QCOMPARE(filtered(CallKeyFilter, u'?', "*?"), QChar(u'?'));
        QCOMPARE(filtered(CallKeyFilter, u'-', "*?"), KeyNull);
    }

    void callDashFilter()
    {
        QCOMPARE(filtered(CallDashKeyFilter, u'-'), QChar(u'-'));
        QCOMPARE(filtered(CallDashKeyFilter, u'b'), QChar(u'B'));
        QCOMPARE(filtered(CallDashKeyFilter, u'*'), KeyNull);
        QCOMPARE(filtered(CallDashKeyFilter, u'*', "*"), QChar(u'*'));
    }

    void numberFilters()
    {
        QCOMPARE(filtered(FloatKeyFilter, u'.'), QChar(u','));
        QCOMPARE(filtered(FloatKeyFilter, u','), QChar(u','));
        QCOMPARE(filtered(FloatKeyFilter, u'5'), QChar(u'5'));
        QCOMPARE(filtered(FloatKeyFilter, u'-'), KeyNull);
        QCOMPARE(filtered(FloatKeyFilter, u'e'), KeyNull);
        QCOMPARE(filtered(FloatKeyFilter, KeyBackspace), KeyBackspace);
        QCOMPARE(filtered(DigitKeyFilter, u'0'), QChar(u'0'));
        QCOMPARE(filtered(DigitKeyFilter, u','), KeyNull);
        QCOMPARE(filtered(DigitKeyFilter, KeyBackspace), KeyBackspace);
        QCOMPARE(filtered(ReportKeyFilter, u'n'), QChar(u'N'));
        QCOMPARE(filtered(ReportKeyFilter, u','), QChar(u','));
        QCOMPARE(filtered(ReportKeyFilter, u'9'), QChar(u'9'));
        QCOMPARE(filtered(ReportKeyFilter, u'+'), KeyNull);
    }

    void locatorFilter()
    {
        QCOMPARE(filteredAt(LocatorKeyFilter, u'A', 2), KeyNull);
        QCOMPARE(filteredAt(LocatorKeyFilter, u'5', 2), QChar(u'5'));
        QCOMPARE(filteredAt(LocatorKeyFilter, u'b', 4), QChar(u'B'));
        QCOMPARE(filteredAt(LocatorKeyFilter, u'5', 0), KeyNull);
        QCOMPARE(filteredAt(LocatorKeyFilter, u'z', 1), QChar(u'Z'));
        QCOMPARE(filteredAt(LocatorKeyFilter, u'A', 6), KeyNull);
        QCOMPARE(filteredAt(LocatorKeyFilter, u'5', 6), KeyNull);
        QCOMPARE(filteredAt(LocatorKeyFilter, u'*', 6, "*"), KeyNull);
        QCOMPARE(filteredAt(LocatorKeyFilter, KeyBackspace, 6), KeyBackspace);
        QCOMPARE(filteredAt(LocatorKeyFilter, u'*', 2, "*"), QChar(u'*'));
        QCOMPARE(filteredAt(LocatorKeyFilter, u'*', 0, "*"), QChar(u'*'));
    }

    void iotaFilter()
    {
        QCOMPARE(filteredAt(IOTAKeyFilter, u'e', 0), QChar(u'E'));
        QCOMPARE(filteredAt(IOTAKeyFilter, u'1', 1), KeyNull);
        QCOMPARE(filteredAt(IOTAKeyFilter, u'1', 4), QChar(u'1'));
        QCOMPARE(filteredAt(IOTAKeyFilter, u'A', 4), KeyNull);
        QCOMPARE(filteredAt(IOTAKeyFilter, u'1', 5), KeyNull);
        QCOMPARE(filteredAt(IOTAKeyFilter, u'?', 3, "*?"), QChar(u'?'));
        QCOMPARE(filteredAt(IOTAKeyFilter, KeyBackspace, 9), KeyBackspace);
    }

    void typingAids_data()
    {
        QTest::addColumn<bool>("isDate");
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole date") << true << "" << -1 << "12032007" << "12.03.2007";
        QTest::newRow("single-digit day") << true << "" << -1 << "5." << "05.";
        QTest::newRow("single-digit month") << true << "" << -1 << "5,3:2007" << "05.03.2007";
        QTest::newRow("comma at caret 2") << true << "12" << 2 << "," << "12.";
        QTest::newRow("colon at caret 5") << true << "12.03" << 5 << ":" << "12.03.";
        QTest::newRow("separator elsewhere") << true << "12.03.2" << 3 << "." << "12.03.2";
        QTest::newRow("separator pads month") << true << "12.3" << 4 << "," << "12.03.";
        QTest::newRow("letters dropped") << true << "" << -1 << "1a2b" << "12";
        QTest::newRow("backspace") << true << "" << -1 << "123\b\b" << "12";
        QTest::newRow("whole time") << false << "" << -1 << "1230" << "12:30";
        QTest::newRow("single-digit hour") << false << "" << -1 << "9." << "09:";
        QTest::newRow("with seconds") << false << "" << -1 << "9,5:07" << "09:05:07";
        QTest::newRow("point at caret 2") << false << "12" << 2 << "." << "12:";
    }
    void typingAids()
    {
        QFETCH(bool, isDate);
        QFETCH(QString, start);
        QFETCH(int, caret);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        QCOMPARE(typeInto(isDate ? DateKeyFilter : TimeKeyFilter, keys, start, caret), expected);
    }

    void separatorMovesCaretToEnd()
    {
        QString text = "5";
        int caret = 0;
        QChar key = u'.';
        DateKeyFilter(key, text, caret);
        QCOMPARE(key, KeyNull);
        QCOMPARE(text, QString("05."));
        QCOMPARE(caret, 3);
    }
};

QTEST_GUILESS_MAIN(TestKeyFilters)
#include "tst_keyfilters.moc"

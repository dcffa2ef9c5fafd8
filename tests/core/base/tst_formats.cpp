#include "base/Formats.h"

#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>

#include <ctime>

#include <cmath>
#include <cstring>
#include <limits>

using namespace Formats;

namespace
{

// The number formatting the byte forms must match, written plainly on Qt's own
// conversion: the digits of QString::number(x, 'e', 14) rounded as text.
QString plainFormatFloat(const QString &pattern, double value)
{
    if (!std::isfinite(value))
        return floatToStr(value);
    const qsizetype point = pattern.indexOf(u'.');
    const QString intPart = point < 0 ? pattern : pattern.left(point);
    const QString fracPart = point < 0 ? QString() : pattern.mid(point + 1);
    const int decimals = int(fracPart.size());
    const QString scientific = QString::number(std::abs(value), 'e', 14);
    const qsizetype e = scientific.indexOf(u'e');
    QString digits = scientific.left(1) + scientific.mid(2, e - 2);
    int integerDigits = scientific.mid(e + 1).toInt() + 1;
    const int keep = integerDigits + decimals;
    if (keep < 0) {
        digits = QString(1 + decimals, u'0');
        integerDigits = 1;
    } else if (keep < digits.size()) {
        const bool up = digits.at(keep) >= u'5';
        digits.truncate(keep);
        int i = keep - 1;
        for (; up && i >= 0 && digits.at(i) == u'9'; --i)
            digits[i] = u'0';
        if (up && i >= 0)
            digits[i] = QChar(digits.at(i).unicode() + 1);
        else if (up) {
            digits.prepend(u'1');
            ++integerDigits;
        }
    }
    if (integerDigits <= 0) {
        digits.prepend(QString(1 - integerDigits, u'0'));
        integerDigits = 1;
    }
    digits = digits.leftJustified(integerDigits + decimals, u'0');
    const bool zero = digits.count(u'0') == digits.size();
    QString whole = digits.left(integerDigits);
    QString frac = digits.mid(integerDigits);
    while (frac.size() > fracPart.count(u'0') && frac.endsWith(u'0'))
        frac.chop(1);
    if (whole == u"0" && intPart.count(u'0') == 0)
        whole.clear();
    QString out = whole.rightJustified(intPart.count(u'0'), u'0');
    if (!frac.isEmpty())
        out += u',' + frac;
    if (out.isEmpty())
        out = QStringLiteral("0");
    if (value < 0 && !zero)
        out.prepend(u'-');
    return out;
}

// Values where a formatter of its own is likely to go astray: exact binary halves of the
// last kept digit, carries through nines, zeros of both signs, the ends of the range,
// log-like frequencies and powers, and arbitrary bit patterns.
QList<double> awkwardValues()
{
    QList<double> values{0.0,    -0.0,   0.5,     1.5,    2.5,     0.125, 1.005,  0.285,  4.015,  9.9996,
                         999.5,  1e20,   1e15,    1e14,   1e-4,    1e-5,  1.5e-7, 1e100,  1e-100, 1e300,
                         14.025, 7.0305, 144.300, 0.0049, 1e21,    1e22,  5e-5,   99.995, 0.9999, 123456789012345.0,
                         std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(),
                         std::numeric_limits<double>::max(), 999999999999999.5, 9.999999999999995e14,
                         392.0977783203125, 27057.38525390625, 0.00048828125, 1234567.8901234567};
    QRandomGenerator rng(2024);
    for (int i = 0; i < 20000; ++i) {
        // Binary fractions that sit exactly on a decimal half of the 15th digit.
        values << double(rng.bounded(100000000)) / double(1 << rng.bounded(20));
        // Frequencies and powers as a log holds them.
        values << double(rng.bounded(450000000)) / 10000.0 << double(rng.bounded(15000)) / 10.0;
        quint64 bits = rng.generate64();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        if (std::isfinite(any))
            values << any;
    }
    const qsizetype n = values.size();
    for (qsizetype i = 0; i < n; ++i)
        values << -values.at(i);
    return values;
}

} // namespace

class TestFormats : public QObject
{
    Q_OBJECT
private slots:
    void datePatterns_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("dd.mm.yyyy") << "dd.mm.yyyy" << "05.03.2007";
        QTest::newRow("dd.mm.yy") << "dd.mm.yy" << "05.03.07";
        QTest::newRow("d.m.yyyy") << "d.m.yyyy" << "5.3.2007";
        QTest::newRow("dd-mm-yyyy") << "dd-mm-yyyy" << "05-03-2007";
        QTest::newRow("d-m-yyyy") << "d-m-yyyy" << "5-3-2007";
    }
    void datePatterns()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        QCOMPARE(formatDate(pattern, QDate(2007, 3, 5)), expected);
    }

    void timePatterns()
    {
        const QTime t(7, 4, 9);
        QCOMPARE(formatTime("hh:nn", t), QString("07:04"));
        QCOMPARE(formatTime("hh:nn:ss", t), QString("07:04:09"));
        QCOMPARE(formatTime("h:nn", t), QString("7:04"));
        QCOMPARE(formatTime("h:nn:ss", t), QString("7:04:09"));
    }

    // Dates and times are formatted as they are when the pattern shows nothing of the
    // other half; the texts must be those of the local date and time made of them, for odd
    // values too, and in time zones whose clocks jump at midnight.
    void datesAndTimesAsTheLocalDateTime_data()
    {
        QTest::addColumn<QByteArray>("zone");
        for (const char *zone : {"UTC", "Europe/Prague", "America/Santiago", "Asia/Beirut", "America/Havana"})
            QTest::newRow(zone) << QByteArray(zone);
    }
    void datesAndTimesAsTheLocalDateTime()
    {
        QFETCH(QByteArray, zone);
        const QByteArray previous = qgetenv("TZ");
        qputenv("TZ", zone);
        tzset();
        const auto restore = qScopeGuard([&] {
            if (previous.isEmpty())
                qunsetenv("TZ");
            else
                qputenv("TZ", previous);
            tzset();
        });
        const QList<QDate> dates{QDate(2007, 3, 5),  QDate(1899, 12, 30), QDate(2024, 2, 29), QDate(2024, 2, 30),
                                 QDate(),            QDate(1, 1, 1),      QDate(9999, 12, 31), QDate(2022, 9, 11),
                                 QDate(2016, 3, 27), QDate(2024, 10, 27), QDate(2024, 3, 10), QDate(2024, 3, 31)};
        const QList<QTime> times{QTime(7, 4, 9),    QTime(0, 0),        QTime(23, 59, 59, 999), QTime(12, 30, 0, 5),
                                 QTime(),           QTime(25, 0),       QTime(2, 30)};
        const QStringList datePatterns{"dd.mm.yyyy", "dd.mm.yy", "d.m.yyyy", "dd-mm-yyyy", "d-m-yyyy", "yyyymmdd",
                                       "dd.mm.yyyy hh:nn", "DD.MM.YYYY", "'x'"};
        const QStringList timePatterns{"hh:nn",  "hh:nn:ss", "h:nn", "h:nn:ss", "hh:nn:ss.zzz",
                                       "hh.nn z", "HHNN",    "dd hh", "yy:ss", ""};
        for (const QDate &date : dates)
            for (const QString &pattern : datePatterns)
                QCOMPARE(formatDate(pattern, date), formatDateTime(pattern, QDateTime(date, QTime(0, 0))));
        for (const QTime &time : times)
            for (const QString &pattern : timePatterns)
                QCOMPARE(formatTime(pattern, time), formatDateTime(pattern, QDateTime(QDate(1899, 12, 30), time)));
        QCOMPARE(formatTime("hh:nn:ss", QTime()), QString("00:00:00"));
        QCOMPARE(formatDate("dd.mm.yyyy", QDate(2024, 2, 29)), QString("29.02.2024"));
    }

    void floatPatterns()
    {
        QCOMPARE(formatFloat("0.###", 14.025), QString("14,025"));
        QCOMPARE(formatFloat("0.###", 7.0), QString("7"));
        QCOMPARE(formatFloat("0.##", 3.5), QString("3,5"));
        QCOMPARE(formatFloat("0.#", 14.06), QString("14,1"));
        QCOMPARE(formatFloat("0.000", 7.0), QString("7,000"));
        QCOMPARE(formatFloat("0.00", 0.125), QString("0,13"));
        QCOMPARE(formatFloat("0", 144.5), QString("145"));
        QCOMPARE(formatFloat("0.####", 0.00004), QString("0"));
        QCOMPARE(formatFloat("0.#", -2.25), QString("-2,3"));
        QCOMPARE(formatFloat("0.##", -0.001), QString("0"));
    }

    // Halves are rounded as the value reads in decimal, not as the binary double lies
    // just below it: 4.015 MHz shown with two decimals is 4,02, never 4,01.
    void floatRoundsTheDecimalHalf_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1.005") << "0.00" << 1.005 << "1,01";
        QTest::newRow("0.285") << "0.00" << 0.285 << "0,29";
        QTest::newRow("4.015 MHz") << "0.##" << 4.015 << "4,02";
        QTest::newRow("-1.005") << "0.00" << -1.005 << "-1,01";
        QTest::newRow("half of the last place") << "0.00" << 0.005 << "0,01";
        QTest::newRow("below half of it") << "0.00" << 0.0049 << "0,00";
        QTest::newRow("carry into a new digit") << "0.###" << 9.9996 << "10";
        QTest::newRow("carry, whole numbers") << "0" << 999.5 << "1000";
        QTest::newRow("large") << "0" << 1e20 << "100000000000000000000";
        QTest::newRow("just below a half") << "0.00" << 1.00499999 << "1,00";
    }
    void floatRoundsTheDecimalHalf()
    {
        QFETCH(QString, pattern);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(formatFloat(pattern, value), expected);
    }

    // The byte forms the exports write must give exactly the text of the plain forms.
    void floatBytesMatchThePlainForm_data()
    {
        QTest::addColumn<QString>("pattern");
        for (const char *p : {"0.####", "0.###", "0.000", "0", "0.00", "0.#", "00.0#", "#.##", "#",
                              "0.00000000000000000000", "000"})
            QTest::newRow(p) << QString::fromLatin1(p);
    }
    void floatBytesMatchThePlainForm()
    {
        QFETCH(QString, pattern);
        const FloatPattern parsed(pattern);
        int mismatches = 0;
        for (const double value : awkwardValues()) {
            QByteArray bytes("x");
            appendFloat(bytes, parsed, value, ',');
            const QString expected = plainFormatFloat(pattern, value);
            if (bytes.mid(1) != expected.toLatin1() || formatFloat(pattern, value) != expected) {
                if (++mismatches < 5)
                    qWarning("%.17g: %s, expected %s", value, bytes.constData() + 1, qPrintable(expected));
            }
        }
        QCOMPARE(mismatches, 0);
    }

    void shortestFloatBytesMatchThePlainForm()
    {
        int mismatches = 0;
        QList<double> values = awkwardValues();
        values << std::numeric_limits<double>::infinity() << -std::numeric_limits<double>::infinity()
               << std::numeric_limits<double>::quiet_NaN();
        for (const double value : values) {
            QByteArray bytes;
            appendFloatToStr(bytes, value, '.');
            QString expected = QString::number(value, 'g', 15).toUpper();
            if (bytes != expected.toLatin1() && ++mismatches < 5)
                qWarning("%.17g: %s, expected %s", value, bytes.constData(), qPrintable(expected));
        }
        QCOMPARE(mismatches, 0);
        QByteArray comma;
        appendFloatToStr(comma, -1.5e-7, ',');
        QCOMPARE(comma, QByteArray("-1,5E-07"));
    }

    void shortestFloat()
    {
        QCOMPARE(floatToStr(14.025), QString("14,025"));
        QCOMPARE(floatToStr(100), QString("100"));
        QCOMPARE(floatToStr(0.1), QString("0,1"));
        double back = 0;
        QVERIFY(tryStrToFloat(floatToStr(1.0 / 3.0), back));
        QVERIFY(qAbs(back - 1.0 / 3.0) < 1e-14);
    }

    void parseFloat()
    {
        double v = -1;
        QVERIFY(tryStrToFloat("14,025", v));
        QCOMPARE(v, 14.025);
        QVERIFY(tryStrToFloat(" -3 ", v));
        QCOMPARE(v, -3.0);
        QVERIFY(tryStrToFloat("1E3", v));
        QCOMPARE(v, 1000.0);
        v = 42;
        QVERIFY(!tryStrToFloat("14.025", v));
        QVERIFY(!tryStrToFloat("", v));
        QVERIFY(!tryStrToFloat("1,2,3", v));
        QVERIFY(!tryStrToFloat("abc", v));
        QVERIFY(!tryStrToFloat("inf", v));
        QCOMPARE(v, 42.0);
    }

    void parseDate()
    {
        QDate d;
        QVERIFY(tryStrToDate("12.03.2007", d));
        QCOMPARE(d, QDate(2007, 3, 12));
        QVERIFY(tryStrToDate("1.2.2010", d));
        QCOMPARE(d, QDate(2010, 2, 1));
        QVERIFY(tryStrToDate("1.2.07", d));
        QCOMPARE(d, QDate(2007, 2, 1));
        QVERIFY(tryStrToDate("24.12", d));
        QCOMPARE(d, QDate(QDate::currentDate().year(), 12, 24));
        QVERIFY(!tryStrToDate("31.02.2007", d));
        QVERIFY(!tryStrToDate("12-03-2007", d));
        QVERIFY(!tryStrToDate("", d));
        QVERIFY(!tryStrToDate("aa.bb.cccc", d));
        QVERIFY(!tryStrToDate("1.2.3.4", d));
    }

    void parseTime()
    {
        QTime t;
        QVERIFY(tryStrToTime("12:30", t));
        QCOMPARE(t, QTime(12, 30));
        QVERIFY(tryStrToTime("7:05:09", t));
        QCOMPARE(t, QTime(7, 5, 9));
        QVERIFY(tryStrToTime("23:59:59.5", t));
        QCOMPARE(t, QTime(23, 59, 59, 500));
        QVERIFY(!tryStrToTime("24:00", t));
        QVERIFY(!tryStrToTime("12", t));
        QVERIFY(!tryStrToTime("12:60", t));
        QVERIFY(!tryStrToTime("", t));
        QVERIFY(!tryStrToTime("1a:00", t));
    }

    void dateRoundTrip()
    {
        QDate d;
        QVERIFY(tryStrToDate(dateToStr(QDate(1999, 1, 9)), d));
        QCOMPARE(d, QDate(1999, 1, 9));
        QTime t;
        QVERIFY(tryStrToTime(timeToStr(QTime(0, 0, 1)), t));
        QCOMPARE(t, QTime(0, 0, 1));
    }
};

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"

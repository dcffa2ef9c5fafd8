#include "base/Formats.h"
#include "VkrConsts.h"

#include <QTest>

// Every display format is one the formatter understands, in table order.
class TestVkrConsts : public QObject
{
    Q_OBJECT
private slots:
    void formats()
    {
        const QDate date(2007, 3, 5);
        const QStringList dates{"05.03.2007", "05.03.07", "5.3.2007", "05-03-2007", "05-03-07", "5-3-2007"};
        for (size_t i = 0; i < DateFormats.size(); ++i)
            QCOMPARE(Formats::formatDate(DateFormats[i], date), dates[int(i)]);

        const QTime time(7, 4, 9);
        const QStringList times{"07:04", "07:04:09", "7:04", "7:04:09"};
        for (size_t i = 0; i < TimeFormats.size(); ++i)
            QCOMPARE(Formats::formatTime(TimeFormats[i], time), times[int(i)]);

        const QStringList freqs{"14,026", "14,03", "14", "14,026", "14,03", "14,0", "14"};
        for (size_t i = 0; i < FreqFormats.size(); ++i)
            QCOMPARE(Formats::formatFloat(FreqFormats[i], 14.0255), freqs[int(i)]);
    }
};

QTEST_MAIN(TestVkrConsts)
#include "tst_vkrconsts.moc"

#include "radio/Amater.h"
#include "settings/UserOptions.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>

namespace
{

using IntGetter = std::function<int(const TUserOptions &)>;

std::unique_ptr<TUserOptions> withText(const QString &text)
{
    auto options = std::make_unique<TUserOptions>();
    options->Ini.SetText(text);
    return options;
}

QStringList freqs(const QString &stored)
{
    TUserOptions options;
    options.Ini.WriteString("nQSO", "Freqs", stored);
    QStringList list{"stale"};
    options.GetFreqs(list);
    return list;
}

QStringList allModeNames()
{
    QStringList names;
    for (int i = 1; i < ModeCount; ++i)
        names << ModeNames[i];
    return names;
}

// Every setter once, in this order; the expected file below follows it.
void setEverything(TUserOptions &o)
{
    o.SetCall("ok1abc");
    o.SetLocator("jn79ab");
    o.SetNTPSync(true);
    o.SetNTPServer("pool.ntp.org");
    o.SetRSTo("579");
    o.SetRSTp("449");
    o.SetPower(12.5);
    o.SetQSLo(2);
    o.SetQSLp(1);
    o.SetRefreshLog(false);
    o.SetLookInLog(false);
    o.SetLookInCB(false);
    o.SetNameUpCase(false);
    o.SetQuickQSOs(5);
    o.SetFreqs({3.5, 7, 14.025});
    o.SetFreq(2);
    o.SetModes({2, 1});
    o.SetMode(1);
    o.SetListDxccWidth(701);
    o.SetListDxccHeight(501);
    o.SetListDxccMaximized(false);
    o.SetListIOTAWidth(702);
    o.SetListIOTAHeight(502);
    o.SetListIOTAMaximized(false);
    o.SetMapCenterX(15);
    o.SetMapCenterY(49.8);
    o.SetMapZoom(0);
    o.SetMapWWLGrid(false);
    o.SetMapGeoGrid(true);
    o.SetDateFormat(5);
    o.SetTimeFormat(3);
    o.SetFreqFormat(6);
    o.SetExtendedFont(false);
    o.SetColumnCaption("CALL", "Značka");
    o.SetColumnCaptionAlignment("CALL", 2);
    o.SetColumnAlignment("CALL", 1);
    o.SetColumnWidth("CALL", 80);
    o.SetColumnIndex("CALL", 3);
    o.SetColumnVisible("CALL", false);
    o.SetClusterWidth(800);
    o.SetClusterHeight(600);
    o.SetClusterMaximized(false);
    o.SetClusterHost("dx.example.net");
    o.SetClusterPort(7300);
    o.SetBackUpEnabled(true);
    o.SetBackUpInterval(1);
    o.SetBackUpLast(QDate(2007, 3, 5));
    o.SetBackUpPath("/home/op/zaloha");
}

const QString EverythingFile = "[User]\n"
                               "Call=OK1ABC\n"
                               "Loc=JN79AB\n"
                               "\n"
                               "[DateTime]\n"
                               "NTPSync=1\n"
                               "NTPServer=pool.ntp.org\n"
                               "\n"
                               "[nQSO]\n"
                               "RSTo=579\n"
                               "RSTp=449\n"
                               "PWR=12,5\n"
                               "QSLo=2\n"
                               "QSLp=1\n"
                               "RefreshLog=0\n"
                               "LookInLog=0\n"
                               "LookInCB=0\n"
                               "NameUpCase=0\n"
                               "QuickQSOs=5\n"
                               "Freqs=3,5;7;14,025;\n"
                               "Freq=2\n"
                               "Modes=2;1;\n"
                               "Mode=1\n"
                               "\n"
                               "[ListDxcc]\n"
                               "Width=701\n"
                               "Height=501\n"
                               "Maximized=0\n"
                               "\n"
                               "[ListIOTA]\n"
                               "Width=702\n"
                               "Height=502\n"
                               "Maximized=0\n"
                               "\n"
                               "[Map]\n"
                               "CenterX=15,000\n"
                               "CenterY=49,800\n"
                               "Zoom=0,000\n"
                               "WWLGrid=0\n"
                               "GeoGrid=1\n"
                               "\n"
                               "[Design]\n"
                               "DateFormat=5\n"
                               "TimeFormat=3\n"
                               "FreqFormat=6\n"
                               "ExtendedFont=0\n"
                               "\n"
                               "[Columns]\n"
                               "CALL_Caption=Značka\n"
                               "CALL_CaptionAlignment=2\n"
                               "CALL_Alignment=1\n"
                               "CALL_Width=80\n"
                               "CALL_Index=3\n"
                               "CALL_Visible=0\n"
                               "\n"
                               "[WENDRA]\n"
                               "Width=800\n"
                               "Height=600\n"
                               "Maximized=0\n"
                               "Host=dx.example.net\n"
                               "Port=7300\n"
                               "\n"
                               "[BackUp]\n"
                               "Enabled=1\n"
                               "Interval=1\n"
                               "Last=05.03.2007\n"
                               "Path=/home/op/zaloha\n"
                               "\n";

} // namespace

class TestUserOptions : public QObject
{
    Q_OBJECT
private slots:
    void emptyFileDefaults()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("OK1ABC.uf");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        TUserOptions o;
        o.Load(path);

        QCOMPARE(o.Call, QString());
        QCOMPARE(o.GetLocator(), QString());
        QCOMPARE(o.GetNTPSync(), false);
        QCOMPARE(o.GetNTPServer(), QString());
        QCOMPARE(o.GetRSTo(), QString("599"));
        QCOMPARE(o.GetRSTp(), QString("599"));
        QCOMPARE(o.GetPower(), 100.0);
        QCOMPARE(o.GetQSLo(), 0);
        QCOMPARE(o.GetQSLp(), 0);
        QVERIFY(o.GetRefreshLog() && o.GetLookInLog() && o.GetLookInCB() && o.GetNameUpCase());
        QCOMPARE(o.GetQuickQSOs(), 0);
        QStringList list{"stale"};
        o.GetFreqs(list);
        QCOMPARE(list, QStringList());
        QCOMPARE(o.GetFreq(), 0);
        o.GetModes(list);
        QCOMPARE(list, allModeNames());
        QCOMPARE(list.first(), QString("CW"));
        QCOMPARE(list.last(), QString("CLOVER"));
        QCOMPARE(o.GetMode(), 0);
        QCOMPARE(o.GetListDxccWidth(), 700);
        QCOMPARE(o.GetListDxccHeight(), 500);
        QVERIFY(o.GetListDxccMaximized());
        QCOMPARE(o.GetListIOTAWidth(), 700);
        QCOMPARE(o.GetListIOTAHeight(), 500);
        QVERIFY(o.GetListIOTAMaximized());
        QCOMPARE(o.GetDateFormat(), 0);
        QCOMPARE(o.GetTimeFormat(), 0);
        QCOMPARE(o.GetFreqFormat(), 0);
        QVERIFY(o.GetExtendedFont());
        for (const QString field : {"CALL", "NOTE", "AWARD"}) {
            QCOMPARE(o.GetColumnCaption(field), field);
            QCOMPARE(o.GetColumnCaptionAlignment(field), 0);
            QCOMPARE(o.GetColumnAlignment(field), 0);
            QCOMPARE(o.GetColumnWidth(field), 30);
            QCOMPARE(o.GetColumnIndex(field, 17), 17);
            QVERIFY(o.GetColumnVisible(field));
        }
        QCOMPARE(o.GetClusterWidth(), 640);
        QCOMPARE(o.GetClusterHeight(), 480);
        QVERIFY(o.GetClusterMaximized());
        QCOMPARE(o.GetClusterHost(), DefaultClusterHost);
        QCOMPARE(o.GetClusterPort(), 41112);
        QCOMPARE(o.GetClusterPassword(), QString());
        QCOMPARE(o.GetBackUpEnabled(), false);
        QCOMPARE(o.GetBackUpInterval(), 0);
        QCOMPARE(o.GetBackUpLast(), QDate::currentDate());
        QCOMPARE(o.GetBackUpPath(), QString());
        QCOMPARE(o.Ini.ReadSections(), QStringList()); // reading wrote nothing
    }

    void intRanges_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("QSLo 3") << "nQSO"
                                << "QSLo"
                                << "3" << 3;
        QTest::newRow("QSLo 4") << "nQSO"
                                << "QSLo"
                                << "4" << 0;
        QTest::newRow("QSLo -1") << "nQSO"
                                 << "QSLo"
                                 << "-1" << 0;
        QTest::newRow("QSLp 1") << "nQSO"
                                << "QSLp"
                                << "1" << 1;
        QTest::newRow("QSLp 2") << "nQSO"
                                << "QSLp"
                                << "2" << 0;
        QTest::newRow("DateFormat 5") << "Design"
                                      << "DateFormat"
                                      << "5" << 5;
        QTest::newRow("DateFormat 6") << "Design"
                                      << "DateFormat"
                                      << "6" << 0;
        QTest::newRow("DateFormat -1") << "Design"
                                       << "DateFormat"
                                       << "-1" << 0;
        QTest::newRow("TimeFormat 3") << "Design"
                                      << "TimeFormat"
                                      << "3" << 3;
        QTest::newRow("TimeFormat 4") << "Design"
                                      << "TimeFormat"
                                      << "4" << 0;
        QTest::newRow("FreqFormat 6") << "Design"
                                      << "FreqFormat"
                                      << "6" << 6;
        QTest::newRow("FreqFormat 7") << "Design"
                                      << "FreqFormat"
                                      << "7" << 0;
        QTest::newRow("Port 0") << "WENDRA"
                                << "Port"
                                << "0" << 41112;
        QTest::newRow("Port 70000") << "WENDRA"
                                    << "Port"
                                    << "70000" << 41112;
        QTest::newRow("Port 65535") << "WENDRA"
                                    << "Port"
                                    << "65535" << 65535;
        QTest::newRow("Port 1") << "WENDRA"
                                << "Port"
                                << "1" << 1;
        QTest::newRow("Port text") << "WENDRA"
                                   << "Port"
                                   << "telnet" << 41112;
        QTest::newRow("alignment 2") << "Columns"
                                     << "CALL_Alignment"
                                     << "2" << 2;
        QTest::newRow("alignment 3") << "Columns"
                                     << "CALL_Alignment"
                                     << "3" << 0;
        QTest::newRow("caption alignment 3") << "Columns"
                                             << "CALL_CaptionAlignment"
                                             << "3" << 0;
        QTest::newRow("caption alignment -1") << "Columns"
                                              << "CALL_CaptionAlignment"
                                              << "-1" << 0;
        QTest::newRow("width unclamped") << "Columns"
                                         << "CALL_Width"
                                         << "-5" << -5;
        QTest::newRow("width text") << "Columns"
                                    << "CALL_Width"
                                    << "x" << 30;
        QTest::newRow("cluster width") << "WENDRA"
                                       << "Width"
                                       << "1024" << 1024;
    }
    void intRanges()
    {
        static const QHash<QString, IntGetter> getters{
            {"QSLo", &TUserOptions::GetQSLo},
            {"QSLp", &TUserOptions::GetQSLp},
            {"DateFormat", &TUserOptions::GetDateFormat},
            {"TimeFormat", &TUserOptions::GetTimeFormat},
            {"FreqFormat", &TUserOptions::GetFreqFormat},
            {"Port", &TUserOptions::GetClusterPort},
            {"Width", &TUserOptions::GetClusterWidth},
            {"CALL_Alignment", [](const TUserOptions &o) { return o.GetColumnAlignment("CALL"); }},
            {"CALL_CaptionAlignment",
             [](const TUserOptions &o) { return o.GetColumnCaptionAlignment("CALL"); }},
            {"CALL_Width", [](const TUserOptions &o) { return o.GetColumnWidth("CALL"); }},
        };
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(int, expected);
        TUserOptions options;
        options.Ini.WriteString(section, key, stored);
        QCOMPARE(getters.value(key)(options), expected);
    }

    void power_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<double>("expected");
        QTest::newRow("1000000") << "1000000" << 100.0;
        QTest::newRow("0,0004") << "0,0004" << 0.0;
        QTest::newRow("-1") << "-1" << 100.0;
        QTest::newRow("-0,0004 rounds to 0") << "-0,0004" << 0.0;
        QTest::newRow("999999,9994") << "999999,9994" << 999999.999;
        QTest::newRow("999999,9996 rounds up") << "999999,9996" << 100.0;
        QTest::newRow("1,2346") << "1,2346" << 1.235;
        QTest::newRow("0") << "0" << 0.0;
        QTest::newRow("full stop") << "12.5" << 100.0;
    }
    void power()
    {
        QFETCH(QString, stored);
        QFETCH(double, expected);
        TUserOptions options;
        options.Ini.WriteString("nQSO", "PWR", stored);
        const double power = options.GetPower();
        QCOMPARE(power, expected);
        QVERIFY(!std::signbit(power));
    }

    void locator()
    {
        QCOMPARE(withText("[User]\nLoc=jn79ab\n")->GetLocator(), QString("jn79ab"));
        QCOMPARE(withText("[User]\nLoc=JN79\n")->GetLocator(), QString());
        QCOMPARE(withText("[User]\nLoc=JS79AA\n")->GetLocator(), QString());
        TUserOptions options;
        options.SetLocator("jn79ab");
        QCOMPARE(options.Ini.ReadString("User", "Loc", ""), QString("JN79AB"));
    }

    void reports()
    {
        const auto options = withText("[nQSO]\nRSTo=5999\nRSTp=57\n");
        QCOMPARE(options->GetRSTo(), QString("599"));
        QCOMPARE(options->GetRSTp(), QString("57"));
    }

    void frequencyList_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("stored form") << "3,5;7;14,025;" << QStringList{"3,5", "7", "14,025"};
        QTest::newRow("letter and trailing number") << "1,8;3,5;x;7" << QStringList{"1,8", "3,5"};
        QTest::newRow("full stop is dropped") << "14.025;" << QStringList{"14025"};
        QTest::newRow("reformatted") << "1,23456;007;" << QStringList{"1,2346", "7"};
        QTest::newRow("two commas skipped") << "1,2,3;5;" << QStringList{"5"};
        QTest::newRow("blanks and signs ignored") << " 3, 5 ;-7;" << QStringList{"3,5", "7"};
        QTest::newRow("empty entries") << ";;" << QStringList{};
    }
    void frequencyList()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, expected);
        QCOMPARE(freqs(stored), expected);
    }

    void frequencyArray()
    {
        TUserOptions options;
        options.SetFreqs({1.8, 3.5, 14.02567});
        QCOMPARE(options.Ini.ReadString("nQSO", "Freqs", ""), QString("1,8;3,5;14,0257;"));
        QList<double> values{50.0};
        options.GetFreqArray(values); // appends to what the caller has
        QCOMPARE(values, QList<double>({50.0, 1.8, 3.5, 14.0257}));
        options.SetFreqs({});
        QCOMPARE(options.Ini.ReadString("nQSO", "Freqs", "-"), QString());
    }

    void modeList_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("stored form") << "2;5;1;" << QList<int>{2, 5, 1};
        QTest::newRow("index 40 skipped") << "1;40;2;" << QList<int>{1, 2};
        QTest::newRow("27 kept, 28 skipped") << "27;28;" << QList<int>{27};
        QTest::newRow("letters ignored") << "1;x;1a0;" << QList<int>{1, 10};
        QTest::newRow("trailing number dropped") << "3;4" << QList<int>{3};
        QTest::newRow("empty value") << "" << QList<int>{};
        QTest::newRow("huge number skipped") << "99999999999;9;" << QList<int>{9};
    }
    void modeList()
    {
        QFETCH(QString, stored);
        QFETCH(QList<int>, expected);
        TUserOptions options;
        options.Ini.WriteString("nQSO", "Modes", stored);
        QList<int> indexes{99};
        options.GetModeArray(indexes); // cleared first
        QCOMPARE(indexes, expected);
        QStringList names{"stale"};
        options.GetModes(names);
        QStringList expectedNames;
        for (int i : expected)
            expectedNames << ModeNames[i];
        QCOMPARE(names, expectedNames);
    }

    void modesWritten()
    {
        TUserOptions options;
        options.SetModes({9, 1, 2});
        QCOMPARE(options.Ini.ReadString("nQSO", "Modes", ""), QString("9;1;2;"));
        QList<int> indexes;
        options.GetModeArray(indexes);
        QCOMPARE(indexes, QList<int>({9, 1, 2}));
    }

    void callSign()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("OK1ABC.uf");
        TUserOptions options;
        options.SetCall("ok1abc");
        QCOMPARE(options.Call, QString("OK1ABC"));
        QCOMPARE(options.Ini.ReadString("User", "Call", ""), QString("OK1ABC"));

        options.Ini.WriteString("User", "Call", "ok2xyz"); // as an older file may hold it
        options.SaveAs(path);
        TUserOptions loaded;
        loaded.Load(path);
        QCOMPARE(loaded.Call, QString("OK2XYZ"));
        loaded.Clear();
        QCOMPARE(loaded.Call, QString());
        QCOMPARE(loaded.Ini.FileName(), path);
    }

    void clusterPassword()
    {
        TUserOptions options;
        options.SetClusterPassword("tajne");
        QCOMPARE(options.Ini.ReadString("WENDRA", "S1", "").size(), 15);
        QCOMPARE(options.Ini.ReadString("WENDRA", "S2", "").size(), 15);
        QCOMPARE(options.GetClusterPassword(), QString("tajne"));

        options.SetClusterPassword("");
        QVERIFY(options.Ini.ValueExists("WENDRA", "S1"));
        QCOMPARE(options.Ini.ReadString("WENDRA", "S1", "-"), QString());
        QCOMPARE(options.GetClusterPassword(), QString());

        options.SetClusterPassword("0123456789abcdefXYZ");
        QCOMPARE(options.GetClusterPassword(), QString("0123456789abcde"));
    }

    void storedPasswordForms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("both") << "[WENDRA]\nS1=065066\nS2=000000\n"
                              << "AB";
        QTest::newRow("S1 without S2") << "[WENDRA]\nS1=065066\n"
                                       << "";
        QTest::newRow("S2 without S1") << "[WENDRA]\nS2=065066\n"
                                       << "";
        QTest::newRow("S2 empty") << "[WENDRA]\nS1=065066\nS2=\n"
                                  << "";
        QTest::newRow("damaged digits") << "[WENDRA]\nS1=065066\nS2=00x000\n"
                                        << "";
        QTest::newRow("S1 too short") << "[WENDRA]\nS1=065\nS2=000000\n"
                                      << "";
    }
    void storedPasswordForms()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(withText(text)->GetClusterPassword(), expected);
    }

    void backUpLast()
    {
        QCOMPARE(withText("[BackUp]\nLast=05.03.2007\n")->GetBackUpLast(), QDate(2007, 3, 5));
        QCOMPARE(withText("[BackUp]\nLast=včera\n")->GetBackUpLast(), QDate::currentDate());
        QCOMPARE(withText("[BackUp]\nLast=30.02.2007\n")->GetBackUpLast(), QDate::currentDate());
    }

    void everySetterWritesItsKey()
    {
        TUserOptions options;
        setEverything(options);
        QCOMPARE(options.Ini.Text(), EverythingFile);
    }

    void everyGetterReadsItsSetter()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("OK1ABC.uf");
        TUserOptions written;
        setEverything(written);
        written.SetClusterPassword("heslo");
        written.SaveAs(path);

        TUserOptions o;
        o.Load(path);
        QCOMPARE(o.Call, QString("OK1ABC"));
        QCOMPARE(o.GetLocator(), QString("JN79AB"));
        QCOMPARE(o.GetNTPSync(), true);
        QCOMPARE(o.GetNTPServer(), QString("pool.ntp.org"));
        QCOMPARE(o.GetRSTo(), QString("579"));
        QCOMPARE(o.GetRSTp(), QString("449"));
        QCOMPARE(o.GetPower(), 12.5);
        QCOMPARE(o.GetQSLo(), 2);
        QCOMPARE(o.GetQSLp(), 1);
        QVERIFY(!o.GetRefreshLog() && !o.GetLookInLog() && !o.GetLookInCB() && !o.GetNameUpCase());
        QCOMPARE(o.GetQuickQSOs(), 5);
        QStringList list;
        o.GetFreqs(list);
        QCOMPARE(list, QStringList({"3,5", "7", "14,025"}));
        QCOMPARE(o.GetFreq(), 2);
        o.GetModes(list);
        QCOMPARE(list, QStringList({ModeNames[2], ModeNames[1]}));
        QCOMPARE(o.GetMode(), 1);
        QCOMPARE(o.GetListDxccWidth(), 701);
        QCOMPARE(o.GetListDxccHeight(), 501);
        QVERIFY(!o.GetListDxccMaximized());
        QCOMPARE(o.GetListIOTAWidth(), 702);
        QCOMPARE(o.GetListIOTAHeight(), 502);
        QVERIFY(!o.GetListIOTAMaximized());
        QCOMPARE(o.GetDateFormat(), 5);
        QCOMPARE(o.GetTimeFormat(), 3);
        QCOMPARE(o.GetFreqFormat(), 6);
        QVERIFY(!o.GetExtendedFont());
        QCOMPARE(o.GetColumnCaption("call"), QString("Značka"));
        QCOMPARE(o.GetColumnCaptionAlignment("CALL"), 2);
        QCOMPARE(o.GetColumnAlignment("CALL"), 1);
        QCOMPARE(o.GetColumnWidth("CALL"), 80);
        QCOMPARE(o.GetColumnIndex("CALL", 0), 3);
        QVERIFY(!o.GetColumnVisible("CALL"));
        QCOMPARE(o.GetClusterWidth(), 800);
        QCOMPARE(o.GetClusterHeight(), 600);
        QVERIFY(!o.GetClusterMaximized());
        QCOMPARE(o.GetClusterHost(), QString("dx.example.net"));
        QCOMPARE(o.GetClusterPort(), 7300);
        QCOMPARE(o.GetClusterPassword(), QString("heslo"));
        QVERIFY(o.GetBackUpEnabled());
        QCOMPARE(o.GetBackUpInterval(), 1);
        QCOMPARE(o.GetBackUpLast(), QDate(2007, 3, 5));
        QCOMPARE(o.GetBackUpPath(), QString("/home/op/zaloha"));

        // Load, then save: the file comes back byte for byte.
        QFile original(path);
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray before = original.readAll();
        original.close();
        o.SaveAs(dir.filePath("copy.uf"));
        QFile copy(dir.filePath("copy.uf"));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), before);
    }
};

QTEST_GUILESS_MAIN(TestUserOptions)
#include "tst_useroptions.moc"

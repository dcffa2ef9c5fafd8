// The report project reader against damaged projects: values that are no numbers
// ("nan", "inf"), numbers no page holds, empty font names, and random mutations of the
// program's own Tisk.rav. Whatever the text, the reader either refuses it with its Czech
// message or hands out reports that the layout can draw: every length finite and on the
// page, a font to draw with. Accepted mutations are also rendered, so that a build with
// the sanitizers catches what the layout would do with them.

#include "report/ReportError.h"
#include "report/ReportProject.h"
#include "report/ReportWriter.h"
#include "report/PrintQuery.h"
#include "TestFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>

namespace
{

const QString ProjectFile = QStringLiteral(VELKOR_SOURCE_DIR "/data/Tisk.rav");

const QByteArray LogSection = "[rprtDenik]\nType=Log\nPageWidth=210\nPageHeight=297\nFontName=Tahoma\n"
                              "FontSize=7\nColumns=DAT:Datum:16:C;CALL:Značka:20;NOTE:Poznámka:*\n";
const QByteArray LabelSection = "[rprtNalepky]\nType=Labels\nCategory=Nalepky\nPageWidth=210\nPageHeight=297\n"
                                "MarginLeft=0\nMarginTop=0,5\nLabelColumns=3\nLabelRows=8\nLabelWidth=70\n"
                                "LabelHeight=37\nGapX=0\nGapY=0\nPadding=3\nFontName=Tahoma\nFontSize=8\n";

// The section with its keys set to the values of "key=value" lines: an existing line of
// the key is replaced (the first of a key counts in an ini file), a new key appended.
QByteArray with(const QByteArray &section, const QByteArray &settings)
{
    QList<QByteArray> lines = section.split('\n');
    for (const QByteArray &setting : settings.split('\n')) {
        if (setting.isEmpty())
            continue;
        const QByteArray key = setting.left(setting.indexOf('=') + 1);
        const auto found = std::find_if(lines.begin(), lines.end(), [&](const QByteArray &l) { return l.startsWith(key); });
        if (found != lines.end())
            *found = setting;
        else
            lines.insert(lines.size() - 1, setting);
    }
    return lines.join('\n');
}

const QList<QByteArray> Values{"",      "nan",    "NaN",  "inf",   "-inf", "+inf",       "1e300", "-1e300",
                               "1e-300", "0",     "-0",   "-1",    "0,5",  "2147483648", "4",     "72",
                               "73",    "1200",   "1201", "99,9",  "abc",  "1e308",      "*",     "3.5e2"};
const QList<QByteArray> Keys{"PageWidth", "PageHeight", "MarginLeft",   "MarginTop", "MarginRight",
                             "MarginBottom", "FontName", "FontSize",    "LabelColumns", "LabelRows",
                             "LabelWidth", "LabelHeight", "GapX",       "GapY",      "Padding",
                             "Type",       "Columns"};

class ListRows : public TReportRows
{
public:
    bool Next(TLogRecord &record) override
    {
        if (m_left == 0)
            return false;
        --m_left;
        record = {};
        record[fiDAT] = QDate(2026, 2, 3);
        record[fiUTC] = QTime(14, 5);
        record[fiCALL] = QStringLiteral("OK1ABC");
        record[fiNOTE] = QStringLiteral("TNX QSO");
        return true;
    }

private:
    int m_left = 3;
};

QByteArray seedProject()
{
    QFile file(ProjectFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : LogSection + LabelSection;
}

// Sets a key of a random section to a value, or adds it there.
QByteArray setRandomKey(QByteArray data, QRandomGenerator &rng)
{
    const QByteArray key = Keys[rng.bounded(int(Keys.size()))];
    const QByteArray value = Values[rng.bounded(int(Values.size()))];
    QList<QByteArray> lines = data.split('\n');
    QList<int> matching;
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith(key + '='))
            matching << i;
    if (!matching.isEmpty() && rng.bounded(4) != 0)
        lines[matching[rng.bounded(int(matching.size()))]] = key + '=' + value;
    else
        lines.insert(rng.bounded(int(lines.size()) + 1), key + '=' + value);
    return lines.join('\n');
}

QByteArray mutate(QByteArray data, QRandomGenerator &rng)
{
    const int edits = 1 + int(rng.bounded(4));
    for (int e = 0; e < edits; ++e) {
        const qsizetype pos = data.isEmpty() ? 0 : qsizetype(rng.bounded(quint32(data.size())));
        switch (rng.bounded(6)) {
        case 0: // flip a byte
            if (!data.isEmpty())
                data[pos] = char(rng.bounded(256));
            break;
        case 1: // remove a stretch
            data.remove(pos, rng.bounded(24));
            break;
        case 2: // cut the end
            data.truncate(pos);
            break;
        default: // the likeliest damage of a hand-edited project: a bad value
            data = setRandomKey(data, rng);
            break;
        }
    }
    return data;
}

bool finiteIn(double value, double low, double high)
{
    return std::isfinite(value) && value >= low && value <= high;
}

// What the page layout relies on in a report the reader accepted; empty when it holds.
QString brokenPromise(const TReportDefinition &r)
{
    const double w = r.pageSize.width(), h = r.pageSize.height();
    if (!finiteIn(w, 20, 1200) || !finiteIn(h, 20, 1200))
        return QStringLiteral("page %1 x %2").arg(w).arg(h);
    const QMarginsF m = r.margins;
    for (double margin : {m.left(), m.top(), m.right(), m.bottom()})
        if (!finiteIn(margin, 0, 1200))
            return QStringLiteral("margin %1").arg(margin);
    if (m.left() + m.right() > w - 10 || m.top() + m.bottom() > h - 10)
        return QStringLiteral("margins leave no page");
    if (r.fontName.trimmed().isEmpty())
        return QStringLiteral("no font");
    if (!finiteIn(r.fontSize, 4, 72))
        return QStringLiteral("font size %1").arg(r.fontSize);
    if (r.kind == TReportDefinition::Log) {
        double sum = 0;
        for (const TReportColumn &c : r.columns) {
            if (!finiteIn(c.width, 0, 1200) || c.width <= 0)
                return QStringLiteral("column width %1").arg(c.width);
            sum += c.width;
        }
        if (r.columns.isEmpty() || sum > w - m.left() - m.right() + 1e-6)
            return QStringLiteral("columns %1 wide").arg(sum);
    } else {
        if (r.labelColumns < 1 || r.labelColumns > 100 || r.labelRows < 1 || r.labelRows > 100)
            return QStringLiteral("labels %1 x %2").arg(r.labelColumns).arg(r.labelRows);
        for (double length : {r.labelSize.width(), r.labelSize.height(), r.gap.width(), r.gap.height(), r.padding})
            if (!finiteIn(length, 0, 1200))
                return QStringLiteral("label length %1").arg(length);
        if (m.left() + r.labelColumns * r.labelSize.width() + (r.labelColumns - 1) * r.gap.width() > w + 0.1 ||
            m.top() + r.labelRows * r.labelSize.height() + (r.labelRows - 1) * r.gap.height() > h + 0.1)
            return QStringLiteral("labels off the sheet");
    }
    return {};
}

} // namespace

class TestReportProjectFuzz : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // Opens the text as a project: the reports, or the reader's message in `error`.
    QList<TReportDefinition> open(const QByteArray &text, QString *error = nullptr)
    {
        const QString file = m_dir.filePath(QStringLiteral("Tisk.rav"));
        if (!WriteTestFile(file, text))
            qFatal("cannot write %s", qPrintable(file));
        TReportProject project;
        try {
            project.Open(file);
        } catch (const EReportError &e) {
            if (error)
                *error = e.message();
            return {};
        }
        return project.Reports();
    }

    // Renders a few rows of the report, as the preview and the print do.
    void render(const TReportDefinition &report)
    {
        TRvWriter writer;
        writer.SetOutputFile(m_dir.filePath(QStringLiteral("Tisk.rnd")));
        writer.SetParameter(QStringLiteral("Znacka"), QStringLiteral("OK1XYZ"));
        ListRows rows;
        try {
            writer.Execute(report, &rows);
        } catch (const EReportError &) {
            // a file that cannot be written: not the layout's fault
        }
    }

private slots:
    void badValuesAreRefusedInCzech_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("font size nan") << with(LogSection, "FontSize=nan\n") << "FontSize";
        QTest::newRow("font size inf") << with(LogSection, "FontSize=inf\n") << "FontSize";
        QTest::newRow("font size too large") << with(LogSection, "FontSize=73\n") << "FontSize";
        QTest::newRow("font size 1e300") << with(LogSection, "FontSize=1e300\n") << "FontSize";
        QTest::newRow("page width nan") << with(LogSection, "PageWidth=nan\n") << "PageWidth";
        QTest::newRow("page height -inf") << with(LogSection, "PageHeight=-inf\n") << "PageHeight";
        QTest::newRow("page height 1e300") << with(LogSection, "PageHeight=1e300\n") << "PageHeight";
        QTest::newRow("page just too wide") << with(LogSection, "PageWidth=1200,5\n") << "PageWidth";
        QTest::newRow("margin inf") << with(LogSection, "MarginTop=inf\n") << "MarginTop";
        QTest::newRow("margin 1e300") << with(LogSection, "MarginBottom=1e300\n") << "MarginBottom";
        QTest::newRow("margins fill the page") << with(LogSection, "MarginLeft=100\nMarginRight=101\n") << "okraje";
        QTest::newRow("top and bottom fill the page")
            << with(LogSection, "MarginTop=150\nMarginBottom=140\n") << "okraje";
        QTest::newRow("column width nan") << with(LogSection, "Columns=CALL:Značka:nan\n") << "šířka";
        QTest::newRow("column width inf") << with(LogSection, "Columns=CALL:Značka:inf;NOTE:P:*\n") << "šířka";
        QTest::newRow("column width 1e300") << with(LogSection, "Columns=CALL:Značka:1e300\n") << "šířka";
        QTest::newRow("label width nan") << with(LabelSection, "LabelWidth=nan\n") << "LabelWidth";
        QTest::newRow("label height inf") << with(LabelSection, "LabelHeight=inf\n") << "LabelHeight";
        QTest::newRow("gap -inf") << with(LabelSection, "GapX=-inf\n") << "GapX";
        QTest::newRow("gap 1e300") << with(LabelSection, "GapY=1e300\n") << "GapY";
        QTest::newRow("padding nan") << with(LabelSection, "Padding=nan\n") << "Padding";
        QTest::newRow("padding inf") << with(LabelSection, "Padding=inf\n") << "Padding";
    }
    void badValuesAreRefusedInCzech()
    {
        QFETCH(QByteArray, section);
        QFETCH(QString, key);
        QString error;
        QVERIFY(open(section, &error).isEmpty());
        QVERIFY2(error.startsWith(QStringLiteral("Sestava \"")) && error.contains(QStringLiteral("je chybná")) &&
                     error.contains(key),
                 qPrintable(error));
    }

    void valuesAtTheLimitsAreTaken_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::newRow("smallest font") << with(LogSection, "FontSize=4\n");
        QTest::newRow("largest font") << with(LogSection, "FontSize=72\n");
        QTest::newRow("largest page") << with(LogSection, "PageWidth=1200\nPageHeight=1200\n");
        QTest::newRow("smallest page") << with(LogSection, "PageWidth=20\nPageHeight=20\nMarginLeft=0\nMarginRight=0\n"
                                                       "MarginTop=5\nMarginBottom=5\nColumns=CALL:Z:*\n");
        QTest::newRow("margins leave 10 mm") << with(LogSection, "MarginLeft=100\nMarginRight=100\n"
                                                             "Columns=CALL:Z:*\n");
        QTest::newRow("decimal comma") << with(LabelSection, "Padding=2,5\n");
    }
    void valuesAtTheLimitsAreTaken()
    {
        QFETCH(QByteArray, section);
        QString error;
        const QList<TReportDefinition> reports = open(section, &error);
        QVERIFY2(reports.size() == 1, qPrintable(error));
        QCOMPARE(brokenPromise(reports[0]), QString());
        render(reports[0]);
    }

    void emptyFontNameTakesTheDefaultFont_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::newRow("log") << with(LogSection, "FontName=\n");
        QTest::newRow("labels") << with(LabelSection, "FontName=\n");
        QTest::newRow("blanks") << with(LogSection, "FontName=   \n");
    }
    void emptyFontNameTakesTheDefaultFont()
    {
        QFETCH(QByteArray, section);
        QString error;
        const QList<TReportDefinition> reports = open(section, &error);
        QVERIFY2(reports.size() == 1, qPrintable(error));
        QCOMPARE(reports[0].fontName, TReportDefinition().fontName);
        TRvWriter writer;
        writer.SetOutputFile(m_dir.filePath(QStringLiteral("Tisk.rnd")));
        ListRows rows;
        QVERIFY(writer.Execute(reports[0], &rows));
        QCOMPARE(writer.PageCount(), 1);
    }

    void fontNameIsKept()
    {
        const QList<TReportDefinition> reports = open(with(LogSection, "FontName=Courier New\n"));
        QCOMPARE(reports.size(), 1);
        QCOMPARE(reports[0].fontName, QStringLiteral("Courier New"));
    }

    void mutations()
    {
        QList<QByteArray> seeds{seedProject(), with(LogSection, "FontName=\n"), with(LogSection, "FontSize=nan\n"),
                                with(LabelSection, "LabelWidth=inf\n"), with(LabelSection, "GapY=1e300\n")};
        QRandomGenerator rng(20260203);
        QElapsedTimer timer;
        timer.start();
        int cases = 0, accepted = 0;
        // A few seconds in the suite; VELKOR_FUZZ_SECONDS asks for a longer run.
        const qint64 limit = qMax(4, qEnvironmentVariableIntValue("VELKOR_FUZZ_SECONDS")) * 1000LL;
        while (timer.elapsed() < limit) {
            const QByteArray text = mutate(seeds[rng.bounded(int(seeds.size()))], rng);
            QString error;
            const QList<TReportDefinition> reports = open(text, &error);
            ++cases;
            if (reports.isEmpty()) {
                QVERIFY2(error.isEmpty() || error.contains(QStringLiteral("chybn")) ||
                             error.contains(QStringLiteral("nelze")),
                         qPrintable(error));
                continue;
            }
            ++accepted;
            for (const TReportDefinition &report : reports) {
                const QString broken = brokenPromise(report);
                QVERIFY2(broken.isEmpty(), qPrintable(QStringLiteral("%1: %2\n%3")
                                                          .arg(report.name, broken, QString::fromUtf8(text))));
            }
            // Rendering is slower than reading: every tenth accepted project is drawn.
            if (accepted % 10 == 0)
                render(reports[rng.bounded(int(reports.size()))]);
        }
        qInfo("%d mutated projects read, %d accepted", cases, accepted);
        QVERIFY(cases > 20);
        QVERIFY(accepted > 0 && accepted < cases);
    }
};

QTEST_MAIN(TestReportProjectFuzz)
#include "tst_reportprojectfuzz.moc"

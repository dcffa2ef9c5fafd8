// Times printing: rendering the log report "rprtDenik" of logs of 10,000 and 100,000
// QSOs into the rendered file, and the labels for 10,000 marked QSOs (copy of the marks,
// bureau ordering and rendering of the 3 x 8 sheet), with the report project of data/.
// Usage: QT_QPA_PLATFORM=offscreen bench_print [project file]

#include "log/LogConnection.h"
#include "log/LogQuery.h"
#include "report/PrintQuery.h"
#include "print/QslTable.h"
#include "RandomLog.h"
#include "report/ReportProject.h"
#include "report/ReportWriter.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace
{

double seconds(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e9;
}

int render(const TReportDefinition &report, const QString &table, const QStringList &order,
           const QString &out)
{
    TPrintQuery query;
    query.Open(table, order);
    TRvWriter writer;
    writer.SetOutputFile(out);
    writer.SetParameter("Znacka", "OK1XYZ");
    writer.SetParameter("Verze", "1.0.1");
    writer.SetParameter("Poznamka", "TNX FOR NICE QSO");
    writer.Execute(report, &query);
    return writer.PageCount();
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString projectFile =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(VELKOR_STAGE_DIR "/Tisk.rav");
    TReportProject project;
    project.Open(projectFile);
    QTemporaryDir dir;
    const QString rnd = dir.filePath("Tisk.rnd");

    for (int count : {10000, 100000}) {
        const QString log = dir.filePath(QStringLiteral("LOG%1.db").arg(count));
        BuildRandomLog(log, count);
        QElapsedTimer t;
        t.start();
        const int pages = render(*project.FindReport("rprtDenik"), log, {"DAT", "UTC", "CALL"}, rnd);
        std::printf("log report, %6d QSOs: %5d pages in %6.2f s (%.1f MB rendered)\n", count, pages,
                    seconds(t), QFileInfo(rnd).size() / 1e6);
    }

    const QString log = dir.filePath("LOG10000.db");
    LogConnection connection(log, LogConnection::OpenExisting, "Bench");
    LogQuery query;
    query.SetConnectionName("Bench");
    query.Open();
    QList<TBookmark> marks;
    for (int row = 0; row < query.RecordCount(); ++row)
        marks << query.IdAt(row);
    QElapsedTimer t;
    t.start();
    CopyMarkedToTable(query, marks, dir.filePath("_Temp.db"));
    const double copied = seconds(t);
    BuildQSLTable(dir.filePath("_Temp.db"), dir.filePath("_QSL.db"));
    const double sorted = seconds(t);
    const TReportDefinition *sheet = project.FindReportByFullName(project.ReportNames("Nalepky").value(0));
    const int pages = render(*sheet, dir.filePath("_QSL.db"), {"ID"}, rnd);
    std::printf(
        "labels, %d marked QSOs: copy %.2f s, bureau order %.2f s, %d sheets rendered, total %.2f s\n",
        int(marks.size()), copied, sorted - copied, pages, seconds(t));
    return 0;
}

// Times the main window on a large log, offscreen: from OpenLog to the first painted grid,
// a re-sort by call sign, and scrolling a page down and back up, each until the grid is
// painted again; then the QSO window over it: every field exit, and saving a QSO until
// the grid shows it.
// Usage: bench_mainwindow_gui [count [cache folder [rounds of the start]]]
// (default 100000 QSOs, 15 rounds)
// With a cache folder the made-up log is kept there and copied from it on later runs
// (the same count always gives the same log).

#include "AppGlobals.h"
#include "log/DmLog.h"
#include "radio/DxccList.h"
#include "FilteredLineEdit.h"
#include "FloatComboBox.h"
#include "LocatorEdit.h"
#include "log/LogTable.h"
#include "QSOWindow.h"
#include "LogGrid.h"
#include "MainWindow.h"
#include "ProgressDialog.h"
#include "RandomLog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QAbstractTableModel>
#include <QHash>
#include <QHeaderView>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>

#include <algorithm>
#include <map>
#include <optional>
#include <cstdio>
#include <ctime>
#include <vector>

#include <sqlite3.h>

namespace {

void writeOperator(const QString &dataDir, const QString &call)
{
    TUserOptions uo;
    uo.SetCall(call);
    uo.SetLocator("JN79SX");
    uo.SetRefreshLog(true);
    uo.SetLookInLog(true);
    for (int field = fiDAT; field < LogFieldCount; ++field) {
        const QString &name = LogFieldNames[field];
        uo.SetColumnCaption(name, LogFieldCaptions[field]);
        uo.SetColumnCaptionAlignment(name, LogColumnTitleAlignments[field]);
        uo.SetColumnAlignment(name, LogColumnAlignments[field]);
        uo.SetColumnWidth(name, LogColumnWidths[field][3]);
        uo.SetColumnVisible(name, LogColumnVisible[field][3]);
        uo.SetColumnIndex(name, LogColumnPositions[field]);
    }
    uo.SaveAs(dataDir + call + ".uf");
}

double ms(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Processor time of this thread: what the program itself spent, whatever the disk and the
// other processes of the machine did meanwhile.
double ThreadProcessorMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The floor of the save's write: the same record inserted on SQLite's own interface, one
// statement on a connection of its own, committed and flushed as the program's is.
double FloorInsertMs(const QString &path, const TLogRecord &record)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return 0;
    }
    QStringList marks;
    for (int field = 1; field < LogFieldCount; ++field)
        marks << QStringLiteral("?");
    const QByteArray sql =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(LogTableName, LogFieldNames.mid(1).join(u','), marks.join(u','))
            .toUtf8();
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
    QElapsedTimer t;
    t.start();
    for (int field = 1; field < LogFieldCount; ++field) {
        const QVariant value = LogValueToStorage(field, record[field]);
        if (value.isNull())
            sqlite3_bind_null(stmt, field);
        else if (value.typeId() == QMetaType::Double)
            sqlite3_bind_double(stmt, field, value.toDouble());
        else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong)
            sqlite3_bind_int64(stmt, field, value.toLongLong());
        else
            sqlite3_bind_text16(stmt, field, value.toString().utf16(), -1, SQLITE_TRANSIENT);
    }
    sqlite3_step(stmt);
    const double result = ms(t);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return result;
}

// The floor of the start: a bare table over the same log, its IDs read in date order and
// each row shown read by its ID, scrolled to the last row.
class BareLogModel : public QAbstractTableModel
{
public:
    explicit BareLogModel(const QSqlDatabase &db) : m_read(db)
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT ID FROM log ORDER BY DAT,UTC,ID"));
        while (q.next())
            m_ids.push_back(q.value(0).toLongLong());
        m_read.prepare(QStringLiteral("SELECT * FROM log WHERE ID = ?"));
    }
    int rowCount(const QModelIndex & = {}) const override { return int(m_ids.size()); }
    int columnCount(const QModelIndex & = {}) const override { return LogFieldCount; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        auto it = m_rows.find(index.row());
        if (it == m_rows.end()) {
            m_read.bindValue(0, m_ids[size_t(index.row())]);
            m_read.exec();
            QVariantList row;
            if (m_read.next())
                for (int c = 0; c < LogFieldCount; ++c)
                    row << m_read.value(c);
            m_read.finish();
            it = m_rows.insert(index.row(), row);
        }
        return it->value(index.column());
    }

private:
    std::vector<qint64> m_ids;
    mutable QSqlQuery m_read;
    mutable QHash<int, QVariantList> m_rows;
};

double bareTableStart(const QString &path)
{
    QElapsedTimer t;
    t.start();
    double result = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bare"));
        db.setDatabaseName(path);
        db.open();
        {
            BareLogModel model(db);
            QTableView view;
            view.verticalHeader()->setDefaultSectionSize(18);
            view.setModel(&model);
            view.resize(1280, 700);
            view.show();
            view.scrollToBottom();
            view.grab();
            result = ms(t);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bare"));
    return result;
}

// Counts the paint events each widget gets, with the area painted, while it is installed.
class PaintCounter : public QObject
{
public:
    PaintCounter() { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }
    void print() const
    {
        for (const auto &[name, seen] : m_seen)
            std::printf("      %-48s %2d paint(s), %dx%d, %.3f ms\n", qPrintable(name), seen.count, seen.size.width(),
                        seen.size.height(), seen.ms);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() && watched != m_painting) {
            QObject *parent = watched->parent();
            const QString name = QString::fromLatin1(watched->metaObject()->className()) + " " + watched->objectName()
                                 + (parent ? " in " + QString::fromLatin1(parent->metaObject()->className()) + " "
                                                 + parent->objectName()
                                                 + (parent->parent() ? " in " + parent->parent()->objectName()
                                                                     : QString())
                                           : QString());
            // A view's two headers are told apart by their shape.
            const QWidget *widget = static_cast<QWidget *>(watched);
            Seen &seen = m_seen[name + (widget->width() > widget->height() ? " (wide)" : " (tall)")];
            ++seen.count;
            seen.size = static_cast<QPaintEvent *>(event)->rect().size();
            // The widget paints here, so that its own time can be told apart.
            QElapsedTimer t;
            t.start();
            m_painting = watched;
            QCoreApplication::sendEvent(watched, event);
            m_painting = nullptr;
            seen.ms += ms(t);
            return true;
        }
        return false;
    }

private:
    struct Seen
    {
        int count = 0;
        QSize size;
        double ms = 0;
    };
    std::map<QString, Seen> m_seen;
    QObject *m_painting = nullptr;
};

// A key press on the grid followed by a painted window.
double keyAndPaint(TfrmVelkor &window, int key)
{
    QElapsedTimer t;
    t.start();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(window.dbgLog, &press);
    window.grab();
    return ms(t);
}

// Moves the focus out of a field (its exit handler runs) and back in; the time of the move out.
double leave(QWidget *field, QWidget *next)
{
    field->setFocus(Qt::TabFocusReason);
    QElapsedTimer t;
    t.start();
    next->setFocus(Qt::TabFocusReason);
    return ms(t);
}

void benchQsoWindow(TfrmVelkor &window, LogQuery &log)
{
    TfrmQSO qso(TfrmQSO::qmNew, window.QsoWindowContext());
    qso.show();
    qso.activateWindow();
    for (int i = 0; i < 20 && QApplication::activeWindow() != &qso; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (QApplication::activeWindow() != &qso)
        std::printf("QSO window not active: the exits will not run\n");

    // Stations of the log: one worked often, one portable, one not yet worked.
    const QString often = log.ValueAt(log.RecordCount() / 2, fiCALL).toString();
    const int rounds = 5;
    auto mean = [rounds](const std::function<double(int)> &one) {
        double sum = 0;
        for (int i = 0; i < rounds; ++i)
            sum += one(i);
        return sum / rounds;
    };
    for (const QString &call : {often, often + "/P", QString("DL/") + often, QString("VP8ZZZ")}) {
        const double t = mean([&](int) {
            qso.ClearForm();
            qso.edtCall->setText(call);
            return leave(qso.edtCall, qso.cbFreq);
        });
        std::printf("  leave call sign %-12s            %7.2f ms (%d earlier QSOs)\n", qPrintable(call), t,
                    qso.PreviousQuery()->RecordCount());
    }
    qso.edtCall->setText(often);
    leave(qso.edtCall, qso.cbFreq);
    const QStringList freqs{"14,025", "7,01", "3,55", "28,4", "50,1"};
    std::printf("  leave frequency                         %7.2f ms\n", mean([&](int i) {
                    qso.cbFreq->setEditText(freqs[i]);
                    return leave(qso.cbFreq, qso.cbMode);
                }));
    std::printf("  leave mode                              %7.2f ms\n", mean([&](int i) {
                    qso.cbMode->setCurrentIndex(i % 3);
                    return leave(qso.cbMode, qso.edtName);
                }));
    const QStringList dxccs{"DL", "OK", "G", "I", "F"};
    std::printf("  leave DXCC                              %7.2f ms\n", mean([&](int i) {
                    qso.edtDXCC->setText(dxccs[i]);
                    return leave(qso.edtDXCC, qso.edtName);
                }));
    std::printf("  leave partner's locator                 %7.2f ms\n", mean([&](int i) {
                    qso.edtLOCp->setText(i % 2 ? "JO60" : "JN89AB");
                    return leave(qso.edtLOCp, qso.edtName);
                }));
    std::printf("  leave own locator                       %7.2f ms\n", mean([&](int) {
                    qso.edtLOCo->setText("JN79SX");
                    return leave(qso.edtLOCo, qso.edtName);
                }));
    std::printf("  leave name                              %7.2f ms\n", mean([&](int) {
                    qso.edtName->setText("jan");
                    return leave(qso.edtName, qso.edtQTH);
                }));
    std::printf("  leave QTH                               %7.2f ms\n", mean([&](int) {
                    qso.edtQTH->setText("nr. praha");
                    return leave(qso.edtQTH, qso.edtNote);
                }));
    std::printf("  leave note (other fields alike)         %7.2f ms\n", mean([&](int) {
                    qso.edtNote->setText("test");
                    return leave(qso.edtNote, qso.edtName);
                }));

    // Saving: the checks, the insert (one transaction, flushed to disk) and the grid
    // brought up to date, until the paints it left pending (the grid, the status bar, the
    // cleared form) are done; each beside the same insert written on SQLite's interface.
    const int before = log.RecordCount();
    const QString logPath = QSqlDatabase::database(TdmLog::DatabaseName, false).databaseName();
    const TLogRecord sample = log.Record();
    const int saves = 9;
    std::vector<double> command, paints, total, processor, floor;
    double painting = 0;
    for (int i = 0; i < saves; ++i) {
        qso.ClearForm();
        qso.edtCall->setText(QString("OK%1BEN").arg(i));
        leave(qso.edtCall, qso.cbFreq);
        qso.cbFreq->setEditText("14,025");
        qso.cbMode->setCurrentIndex(1);
        qso.edtName->setFocus();
        QApplication::processEvents();
        std::optional<PaintCounter> counter;
        if (i == saves - 1)
            counter.emplace();
        QElapsedTimer t;
        t.start();
        const double cpu = ThreadProcessorMs();
        qso.actSave->trigger();
        command.push_back(ms(t));
        QApplication::processEvents();
        total.push_back(ms(t));
        if (counter) {
            std::printf("    the widgets painted after the last save:\n");
            counter->print();
            counter.reset();
        }
        processor.push_back(ThreadProcessorMs() - cpu);
        paints.push_back(total.back() - command.back());
        t.restart();
        window.grab();
        painting += ms(t);
        floor.push_back(FloorInsertMs(logPath, sample));
    }
    std::printf("  save a QSO, its paints done:            %7.2f ms median, %.2f worst, processor %.2f ms\n"
                "    (%d QSOs added, grid on %d of %d)\n",
                median(total), *std::max_element(total.begin(), total.end()), median(processor),
                log.RecordCount() - before, log.RecNo(), log.RecordCount());
    std::printf("    the command / the paints it left:     %7.2f / %.2f ms median\n", median(command), median(paints));
    std::printf("  floor, the same INSERT on SQLite's interface: %5.2f ms median (ratio %.2f)\n", median(floor),
                median(floor) > 0 ? median(total) / median(floor) : 0.0);
    std::printf("    then painting the whole main window:  %7.2f ms\n", painting / saves);
    QElapsedTimer t;
    t.start();
    const qint64 id = LogTable(TdmLog::DatabaseName).Insert(log.Record());
    std::printf("    of which the insert alone:            %7.2f ms\n", ms(t));
    t.restart();
    window.RefreshLog(false, false, {id});
    std::printf("    and the grid's refresh alone:         %7.2f ms\n", ms(t));
    const qint64 id2 = LogTable(TdmLog::DatabaseName).Insert(log.Record());
    t.restart();
    log.DisableControls();
    log.RefreshRows({id2});
    log.Last();
    std::printf("    of which the ordered IDs:             %7.2f ms\n", ms(t));
    t.restart();
    log.EnableControls();
    std::printf("    and the grid's model and view:        %7.2f ms\n", ms(t));
    t.restart();
    window.RefreshLog(false, false);
    std::printf("  (the whole list read again instead:     %7.2f ms)\n", ms(t));
    qso.close();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;

    QTemporaryDir dir;
    const QString appDir = dir.path() + "/";
    QDir().mkpath(appDir + "Data");
    QDir().mkpath(appDir + "tmp");
    qputenv("TEMP", (appDir + "tmp").toLocal8Bit());
    QFile ini(appDir + "Velkor.ini");
    ini.open(QIODevice::WriteOnly);
    ini.write("[Users]\n0=OK1BIG\n\n");
    ini.close();

    QElapsedTimer t;
    t.start();
    writeOperator(appDir + "Data/", "OK1BIG");
    const QString cached =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/OK1BIG-%1.db").arg(count) : QString();
    if (cached.isEmpty() || !QFile::exists(cached)) {
        BuildRandomLog(appDir + "Data/OK1BIG.db", count);
        if (!cached.isEmpty())
            QFile::copy(appDir + "Data/OK1BIG.db", cached);
    } else {
        QFile::copy(cached, appDir + "Data/OK1BIG.db");
    }
    std::printf("log of %d QSOs written in %.0f ms\n", count, ms(t));

    QFile::copy(VELKOR_STAGE_DIR "/dxcc.db", appDir + "dxcc.db");
    TdmLog dm(appDir);
    dmLog = &dm;
    TDxccList dxccList(appDir);
    DxccList = &dxccList;
    TfrmVelkor window(dm);
    frmVelkor = &window;
    frmDialog = new TfrmDialog(&window);
    window.resize(1280, 800);
    window.show();
    window.grab();

    // The start, side by side with a bare table over the same file: the log opened and its
    // grid painted. Which of the two goes first alternates from round to round. The first
    // round (files and fonts not yet in memory) is printed apart; the figures are the medians
    // of the rounds after it, wall and processor, and the median of the rounds' own ratios,
    // which a machine whose speed drifts during the run moves least.
    const int rounds = std::max(2, argc > 3 ? QString::fromLocal8Bit(argv[3]).toInt() : 15);
    std::vector<double> opens, starts, startCpu, bares, bareCpu, ratios;
    const auto runBare = [&] {
        const double cpu = ThreadProcessorMs();
        bares.push_back(bareTableStart(appDir + "Data/OK1BIG.db"));
        bareCpu.push_back(ThreadProcessorMs() - cpu);
    };
    for (int round = 0; round < rounds; ++round) {
        if (round > 0)
            window.CloseLog();
        if (round % 2 == 0)
            runBare();
        const double cpu = ThreadProcessorMs();
        t.restart();
        window.OpenLog("OK1BIG");
        opens.push_back(ms(t));
        window.grab();
        starts.push_back(ms(t));
        startCpu.push_back(ThreadProcessorMs() - cpu);
        // What the start left for the event loop is done before the next round, as a
        // session's event loop does it long before the next log is opened.
        QCoreApplication::processEvents();
        if (round % 2 == 1)
            runBare();
        ratios.push_back(starts.back() / bares.back());
    }
    const auto later = [](const std::vector<double> &all) { return std::vector<double>(all.begin() + 1, all.end()); };
    const auto spread = [&later](const std::vector<double> &all) {
        const std::vector<double> rest = later(all);
        const auto [lo, hi] = std::minmax_element(rest.begin(), rest.end());
        return std::make_pair(*lo, *hi);
    };
    const double start = median(later(starts)), bare = median(later(bares));
    const double cpuStart = median(later(startCpu)), cpuBare = median(later(bareCpu));
    std::printf("OpenLog:                          %8.1f ms median\n", median(later(opens)));
    std::printf("OpenLog to the first painted grid: %7.1f ms median, processor %.1f ms (%d rows, on record %d)\n",
                start, cpuStart, window.qLog->RecordCount(), window.qLog->RecNo());
    std::printf("  floor, a bare Qt table over the log: %5.1f ms median, processor %.1f ms (ratio %.2f, processor %.2f)\n",
                bare, cpuBare, start / bare, cpuStart / cpuBare);
    std::printf("  (medians of rounds 2 to %d; the start %.1f-%.1f ms, the bare table %.1f-%.1f ms;\n"
                "   the rounds' own ratios %.2f-%.2f, median %.2f)\n",
                rounds, spread(starts).first, spread(starts).second, spread(bares).first, spread(bares).second,
                spread(ratios).first, spread(ratios).second, median(later(ratios)));
    std::printf("  the first round: %.1f ms against the bare table's %.1f ms\n", starts.front(), bares.front());

    t.restart();
    window.actSortByCall->trigger();
    window.grab();
    std::printf("re-sort by call sign and paint:    %7.1f ms\n", ms(t));

    double down = 0, up = 0;
    for (int i = 0; i < 10; ++i)
        up += keyAndPaint(window, Qt::Key_PageUp);
    for (int i = 0; i < 10; ++i)
        down += keyAndPaint(window, Qt::Key_PageDown);
    std::printf("page up and paint (mean of 10):    %7.1f ms\n", up / 10);
    std::printf("page down and paint (mean of 10):  %7.1f ms\n", down / 10);

    t.restart();
    window.actSortByDateTime->trigger();
    window.grab();
    std::printf("re-sort by date and time and paint: %6.1f ms\n", ms(t));

    benchQsoWindow(window, *window.qLog);

    t.restart();
    window.CloseLog();
    std::printf("CloseLog:                          %7.1f ms\n", ms(t));
    frmDialog = nullptr;
    frmVelkor = nullptr;
    DxccList = nullptr;
    dmLog = nullptr;
    return 0;
}

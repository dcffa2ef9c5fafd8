#include "RandomLog.h"

#include "log/LogConnection.h"
#include "log/LogTable.h"
#include "log/VkrDatabase.h"

#include <QDate>
#include <QRandomGenerator>
#include <QTime>

namespace
{

QString randomCall(QRandomGenerator &rng)
{
    static const char *prefixes[] = {"OK", "OL", "OM", "DL", "DK", "SP", "HA", "G",  "F",  "I",  "EA", "UA",
                                     "K",  "W",  "N",  "VE", "JA", "VK", "ZS", "PY", "LU", "YU", "S5", "9A"};
    QString call = QString::fromLatin1(prefixes[rng.bounded(int(std::size(prefixes)))]);
    call += QChar('0' + rng.bounded(10));
    const int letters = 1 + rng.bounded(3);
    for (int i = 0; i < letters; ++i)
        call += QChar('A' + rng.bounded(26));
    if (rng.bounded(50) == 0)
        call += "/P";
    return call;
}

} // namespace

TLogRecord RandomQso(QRandomGenerator &rng)
{
    static const char *names[] = {"Jan", "Petr", "Hans", "John", "Jiri", "Karel", "Mike", "Tom"};
    static const char *qths[] = {"Praha", "Brno", "Berlin", "London", "Wien", "Ostrava", "Paris"};
    TLogRecord r;
    r[fiDAT] = QDate(2000, 1, 1).addDays(rng.bounded(9000));
    r[fiUTC] = QTime(0, 0).addSecs(rng.bounded(86400));
    r[fiCALL] = randomCall(rng);
    r[fiFREQ] = 1.8 + rng.bounded(28000) / 1000.0;
    r[fiBAND] = rng.bounded(12);
    r[fiMODE] = 1 + rng.bounded(3);
    r[fiRSTO] = "599";
    r[fiRSTP] = "599";
    if (rng.bounded(3) == 0) {
        r[fiNAME] = QString::fromLatin1(names[rng.bounded(int(std::size(names)))]);
        r[fiQTH] = QString::fromLatin1(qths[rng.bounded(int(std::size(qths)))]);
    }
    r[fiLOCO] = "JO70FC";
    if (rng.bounded(2) == 0)
        r[fiLOCP] = "JN89AB";
    r[fiQSLO] = rng.bounded(4);
    r[fiQSLP] = rng.bounded(2);
    r[fiEQSLP] = 0;
    if (rng.bounded(10) == 0)
        r[fiNOTE] = "contest QSO, good signal";
    r[fiPWR] = 100.0;
    r[fiQRB] = double(rng.bounded(20000));
    r[fiDXCC] = "OK";
    r[fiITU] = 28;
    r[fiWAZ] = 15;
    return r;
}

void BuildRandomLog(const QString &path, int count)
{
    CreateLogTable(path);
    LogConnection connection(path);
    LogTable table(connection.connectionName());
    QRandomGenerator rng(count);
    table.StartTransaction();
    for (int i = 0; i < count; ++i)
        table.Insert(RandomQso(rng));
    table.Commit();
}

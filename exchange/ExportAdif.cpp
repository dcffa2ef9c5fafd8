// The two ADIF writers: the full file that the logbook's own import reads back, and the
// one-line records for the eQSL service.

#include "Export.h"
#include "ExportFile.h"
#include "ExportValues.h"
#include "ExportWalk.h"

#include "CharSet.h"
#include "VelkorVersion.h"

#include <QDate>
#include <QTime>

using namespace ExportValues;

namespace
{

constexpr char CrLf[] = "\r\n";

// A field: the tag, the value's length in bytes, ">" and the value, which is written as
// it is (angle brackets and line breaks included: the length tells where it ends).
void field(QByteArray &out, const char *tag, const QByteArray &value)
{
    out += '<';
    out += tag;
    out += ':';
    out += QByteArray::number(value.size());
    out += '>';
    out += value;
}

QByteArray date(const TLogRecord &r)
{
    return r[fiDAT].toDate().toString(QStringLiteral("yyyyMMdd")).toLatin1();
}

QByteArray time(const TLogRecord &r)
{
    return r[fiUTC].toTime().toString(QStringLiteral("hhmmss")).toLatin1();
}

QByteArray ascii(const QString &text)
{
    return UnicodeToWin1250(text);
}

QByteArray yesNo(const TLogRecord &r, int field)
{
    return Index(r, field) == 1 ? "Y" : "N";
}

QByteArray qslSent(const TLogRecord &r)
{
    switch (Index(r, fiQSLO)) {
    case 1:
        return "Y";
    case 2:
        return "R";
    case 3:
        return "I";
    default:
        return "N";
    }
}

// EU123 is written EU-123.
QByteArray iota(const TLogRecord &r)
{
    QByteArray value = Text(r, fiIOTA);
    return value.left(2) + '-' + value.mid(2);
}

void newLine(QByteArray &out)
{
    out += CrLf;
    out += '\t';
}

QByteArray fullRecord(const TLogRecord &r)
{
    QByteArray out;
    out.reserve(512);
    field(out, "QSO_DATE", date(r));
    field(out, "TIME_ON", time(r));
    field(out, "FREQ", PointDecimal(r, fiFREQ));
    field(out, "BAND", ascii(BandName(r)));
    field(out, "MODE", ascii(ModeName(r)));
    newLine(out);
    field(out, "CALL", Text(r, fiCALL));
    newLine(out);
    field(out, "RST_RCVD", Text(r, fiRSTP));
    field(out, "RST_SENT", Text(r, fiRSTO));
    newLine(out);
    field(out, "MY_GRIDSQUARE", Text(r, fiLOCO));
    field(out, "GRIDSQUARE", Text(r, fiLOCP));
    newLine(out);
    field(out, "QTH", Text(r, fiQTH));
    field(out, "NAME", Text(r, fiNAME));
    newLine(out);
    field(out, "QSL_RCVD", yesNo(r, fiQSLP));
    field(out, "QSL_SENT", qslSent(r));
    field(out, "EQSL_RCVD", yesNo(r, fiEQSLP));
    field(out, "QSL_VIA", Text(r, fiQSLVIA));
    newLine(out);
    field(out, "ITUZ", Integer(r, fiITU));
    field(out, "CQZ", Integer(r, fiWAZ));
    field(out, "DXCCP", Text(r, fiDXCC));
    if (!r.isEmpty(fiIOTA))
        field(out, "IOTA", iota(r));
    if (!r.isEmpty(fiAWARD))
        field(out, "AWARD", Text(r, fiAWARD));
    newLine(out);
    field(out, "TX_PWR", PointDecimal(r, fiPWR));
    if (!r.isEmpty(fiNOTE)) {
        newLine(out);
        field(out, "COMMENT", Text(r, fiNOTE));
    }
    out += CrLf;
    out += "<eor>";
    out += CrLf;
    return out;
}

QByteArray shortRecord(const TLogRecord &r, const QByteArray &qslMsg)
{
    QByteArray out;
    out.reserve(256);
    field(out, "CALL", Text(r, fiCALL));
    field(out, "QSO_DATE", date(r));
    field(out, "TIME_ON", time(r));
    field(out, "FREQ", PointDecimal(r, fiFREQ));
    field(out, "BAND", ascii(BandName(r)));
    field(out, "MODE", ascii(ModeName(r)));
    field(out, "RST_SENT", Text(r, fiRSTO));
    field(out, "RST_RCVD", Text(r, fiRSTP));
    field(out, "MY_GRIDSQUARE", Text(r, fiLOCO));
    field(out, "QSL_RCVD", yesNo(r, fiQSLP));
    field(out, "QSLMSG", qslMsg);
    out += "<eor>";
    out += CrLf;
    return out;
}

// The four header lines; the count is that of the records that follow.
QByteArray header(int count)
{
    QByteArray out = "Velkor v" VELKOR_VERSION_TEXT;
    out += CrLf;
    out += "Exported " + QByteArray::number(count) + " records";
    out += CrLf;
    out += "<ADIF_VER:4>1.00";
    out += CrLf;
    out += "<EOH>";
    out += CrLf;
    return out;
}

void exportAdif(LogQuery &query, const QList<TBookmark> &marked, const QString &fileName,
                const TProgressEvent &onProgress, const std::function<QByteArray(const TLogRecord &)> &record)
{
    TExportWalk walk(query, marked);
    TExportFile file(fileName);
    file.Write(header(walk.Count()));
    walk.Run([&](const TLogRecord &r) { file.Write(record(r)); }, onProgress);
    file.Commit();
}

} // namespace

void ExportADIF(LogQuery &query, const QList<TBookmark> &marked, const QString &fileName,
                const TProgressEvent &onProgress)
{
    exportAdif(query, marked, fileName, onProgress, fullRecord);
}

void ExportADIFShort(LogQuery &query, const QList<TBookmark> &marked, const QString &qslMsg,
                     const TProgressEvent &onProgress, const QString &fileName)
{
    const QByteArray message = UnicodeToWin1250(qslMsg);
    exportAdif(query, marked, fileName, onProgress,
               [&message](const TLogRecord &r) { return shortRecord(r, message); });
}

// The two ADIF writers: the full file that the logbook's own import reads back, and the
// one-line records for the eQSL service.

#include "export/Export.h"
#include "export/ExportFile.h"
#include "export/ExportValues.h"
#include "export/ExportWalk.h"

#include "radio/CharSet.h"
#include "VelkorVersion.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <charconv>
#include <string_view>

using namespace ExportValues;

namespace
{

constexpr char CrLf[] = "\r\n";

// The start of a field: the tag and the value's length in bytes.
void tag(QByteArray &out, std::string_view name, qsizetype length)
{
    // Put together first and appended at once: there are some twenty tags a record.
    char text[64];
    char *end = text;
    *end++ = '<';
    end = std::copy(name.begin(), name.begin() + std::min<size_t>(name.size(), 32), end);
    *end++ = ':';
    end = std::to_chars(end, text + sizeof text - 1, std::max<qsizetype>(length, 0)).ptr;
    *end++ = '>';
    out.append(text, end - text);
}

// A field: the tag, the value's length in bytes, ">" and the value, which is written as
// it is (angle brackets and line breaks included: the length tells where it ends).
void field(QByteArray &out, const char *name, QByteArrayView value)
{
    tag(out, name, value.size());
    out.append(value);
}

void textField(QByteArray &out, const char *name, const QString &value)
{
    if (IsAscii(value)) {
        tag(out, name, value.size());
        AppendText(out, value);
    } else {
        field(out, name, UnicodeToWin1250(value));
    }
}

void textField(QByteArray &out, const char *name, const TLogRowView &r, int fieldIndex)
{
    QByteArrayView bytes;
    if (!r.Ascii(fieldIndex, bytes))
        return textField(out, name, r.String(fieldIndex));
    tag(out, name, bytes.size());
    out.append(bytes.data(), bytes.size());
}

// A value whose length is known only once it is written: it goes to `scratch` first.
template <typename Append> void formattedField(QByteArray &out, QByteArray &scratch, const char *name, Append append)
{
    scratch.resize(0);
    append(scratch);
    field(out, name, scratch);
}

void dateField(QByteArray &out, const TLogRowView &r)
{
    const QDate date = r.Date(fiDAT);
    tag(out, "QSO_DATE", date.isValid() ? 8 : 0);
    AppendDate(out, date, false);
}

void timeField(QByteArray &out, const TLogRowView &r)
{
    const QTime time = r.Time(fiUTC);
    tag(out, "TIME_ON", time.isValid() ? 6 : 0);
    AppendTime(out, time, false);
}

void pointDecimalField(QByteArray &out, QByteArray &scratch, const char *name, const TLogRowView &r, int fieldIndex)
{
    formattedField(out, scratch, name, [&](QByteArray &value) { AppendPointDecimal(value, r, fieldIndex); });
}

void integerField(QByteArray &out, QByteArray &scratch, const char *name, const TLogRowView &r, int fieldIndex)
{
    formattedField(out, scratch, name, [&](QByteArray &value) { AppendInteger(value, r, fieldIndex); });
}

const char *yesNo(const TLogRowView &r, int fieldIndex)
{
    return Index(r, fieldIndex) == 1 ? "Y" : "N";
}

const char *qslSent(const TLogRowView &r)
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
void iotaField(QByteArray &out, QByteArray &scratch, const TLogRowView &r)
{
    formattedField(out, scratch, "IOTA", [&](QByteArray &value) {
        AppendText(value, r, fiIOTA);
        value.insert(std::min<qsizetype>(2, value.size()), '-');
    });
}

// A QSO without a mode (one outside the mode table) has no MODE field: other programs
// refuse an empty one.
void modeField(QByteArray &out, const TLogRowView &r)
{
    const QByteArray &mode = ModeNameText(r);
    if (!mode.isEmpty())
        field(out, "MODE", mode);
}

void newLine(QByteArray &out)
{
    out += CrLf;
    out += '\t';
}

void fullRecord(QByteArray &out, QByteArray &scratch, const TLogRowView &r)
{
    dateField(out, r);
    timeField(out, r);
    pointDecimalField(out, scratch, "FREQ", r, fiFREQ);
    field(out, "BAND", BandNameText(r));
    modeField(out, r);
    newLine(out);
    textField(out, "CALL", r, fiCALL);
    newLine(out);
    textField(out, "RST_RCVD", r, fiRSTP);
    textField(out, "RST_SENT", r, fiRSTO);
    newLine(out);
    textField(out, "MY_GRIDSQUARE", r, fiLOCO);
    textField(out, "GRIDSQUARE", r, fiLOCP);
    newLine(out);
    textField(out, "QTH", r, fiQTH);
    textField(out, "NAME", r, fiNAME);
    newLine(out);
    field(out, "QSL_RCVD", yesNo(r, fiQSLP));
    field(out, "QSL_SENT", qslSent(r));
    field(out, "EQSL_RCVD", yesNo(r, fiEQSLP));
    textField(out, "QSL_VIA", r, fiQSLVIA);
    newLine(out);
    integerField(out, scratch, "ITUZ", r, fiITU);
    integerField(out, scratch, "CQZ", r, fiWAZ);
    textField(out, "DXCCP", r, fiDXCC);
    if (!r.IsEmpty(fiIOTA))
        iotaField(out, scratch, r);
    if (!r.IsEmpty(fiAWARD))
        textField(out, "AWARD", r, fiAWARD);
    newLine(out);
    pointDecimalField(out, scratch, "TX_PWR", r, fiPWR);
    if (!r.IsEmpty(fiNOTE)) {
        newLine(out);
        textField(out, "COMMENT", r, fiNOTE);
    }
    out += CrLf;
    out += "<eor>";
    out += CrLf;
}

void shortRecord(QByteArray &out, QByteArray &scratch, const TLogRowView &r, const QByteArray &qslMsg)
{
    textField(out, "CALL", r, fiCALL);
    dateField(out, r);
    timeField(out, r);
    pointDecimalField(out, scratch, "FREQ", r, fiFREQ);
    field(out, "BAND", BandNameText(r));
    modeField(out, r);
    textField(out, "RST_SENT", r, fiRSTO);
    textField(out, "RST_RCVD", r, fiRSTP);
    textField(out, "MY_GRIDSQUARE", r, fiLOCO);
    field(out, "QSL_RCVD", yesNo(r, fiQSLP));
    field(out, "QSLMSG", qslMsg);
    out += "<eor>";
    out += CrLf;
}

// The four header lines; the count is that of the records that follow.
QByteArray header(int count)
{
    QByteArray out = VELKOR_ADIF_HEADER_START VELKOR_VERSION_TEXT;
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
                const TProgressEvent &onProgress,
                const std::function<void(QByteArray &, QByteArray &, const TLogRowView &)> &record)
{
    TExportWalk walk(query, marked);
    TExportFile file(fileName);
    file.Write(header(walk.Count()));
    QByteArray scratch;
    walk.Run(
        [&](const TLogRowView &r) {
            record(file.Buffer(), scratch, r);
            file.Written();
        },
        onProgress);
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
               [&message](QByteArray &out, QByteArray &scratch, const TLogRowView &r) {
                   shortRecord(out, scratch, r, message);
               });
}

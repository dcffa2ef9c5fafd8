#include "import/OldTableImport.h"

#include "radio/Amater.h"
#include "radio/CharSet.h"
#include "import/DbfTable.h"
#include "radio/DxccList.h"
#include "ExchangeHost.h"
#include "base/Formats.h"
#include "import/ImportStaging.h"
#include "import/ImportWindow.h"
#include "radio/Kontrola.h"
#include "radio/Locator.h"
#include "log/QsoLookup.h"
#include "log/LogRecord.h"
#include "base/Messages.h"
#include "import/ParadoxTable.h"
#include "import/SourceRowOrder.h"
#include "ProgressDialog.h"
#include "base/VelkorError.h"

#include <QDate>
#include <QDateTime>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

const QStringList TrevanFieldNames{
    "datum",    "cas1",    "cas2",      "znacka",     "pomzn",     "jmeno",    "mesto",
    "reporto",  "reportp", "kmitocet",  "mod",        "vykon",     "qslo",     "qslp",
    "poznamka", "lokator", "lokator_vl", "vzdalenost", "idx_datum", "idx_znac", "qsl_via"};

const QStringList OstrelFieldNames{"cislo", "datum", "utc",     "call",  "mhz",   "mod",      "rst_o",
                                   "rst_p", "jmeno", "qth",     "loc",   "loc_vl", "qsl_mgr", "qsl_o",
                                   "qsl_p", "poznamka", "pwr", "vzdal", "dxcc"};

namespace {

const QString ImportText = QStringLiteral("Importuji z Ostrelu ...");
constexpr int OutOfBand = BandCount - 1;

// The positions of a table's fields by their lower-case names, looked up for every
// value of every row. The mappings name fields by string literals, so a name once found
// is known again by its address.
class TFieldPositions
{
public:
    explicit TFieldPositions(const QStringList &names) : m_names(names) {}
    int operator[](const char *name) const
    {
        for (const auto &[literal, position] : m_found)
            if (literal == name)
                return position;
        const int position = int(m_names.indexOf(QLatin1String(name)));
        m_found.emplace_back(name, position);
        return position;
    }

private:
    QStringList m_names;
    mutable std::vector<std::pair<const char *, int>> m_found;
};

// One source row with its values by field name.
class TSourceRow
{
public:
    TSourceRow(const TFieldPositions &fields, QVariantList values) : m_fields(fields), m_values(std::move(values)) {}
    const QVariant &operator[](const char *name) const { return m_values[m_fields[name]]; }

private:
    const TFieldPositions &m_fields;
    QVariantList m_values;
};

// A value as the text it shows: texts in the table's code page (Windows-1250), numbers
// with ",", dates d.m.yyyy, times h:mm:ss.
QString text(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QByteArray: return Win1250ToUnicode(value.toByteArray()).trimmed();
    case QMetaType::Double: return Formats::floatToStr(value.toDouble());
    case QMetaType::QDate: return Formats::dateToStr(value.toDate());
    case QMetaType::QTime: return Formats::timeToStr(value.toTime());
    default: return value.toString();
    }
}

// A text of the other logbook in the code page the options name.
QString convertedText(const QVariant &value, int charSet)
{
    QByteArray bytes = value.toByteArray();
    CharSetToWin1250(bytes, charSet);
    return Win1250ToUnicode(bytes).trimmed();
}

bool isTrue(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString t = text(value).toUpper();
    return t == u"T" || t == u"Y" || t == u"A" || t == u"1" || value.toDouble() != 0;
}

std::optional<QDate> dateOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDate)
        return value.toDate();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    QDate date;
    if (Formats::tryStrToDate(text(value), date))
        return date;
    date = QDate::fromString(text(value), QStringLiteral("yyyyMMdd"));
    return date.isValid() ? std::optional(date) : std::nullopt;
}

std::optional<QTime> timeOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QTime)
        return value.toTime();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().time();
    QTime time;
    if (Formats::tryStrToTime(text(value), time))
        return time;
    time = QTime::fromString(text(value), QStringLiteral("HHmm"));
    return time.isValid() ? std::optional(time) : std::nullopt;
}

std::optional<double> numberOf(const QVariant &value)
{
    if (value.isNull())
        return 0.0; // an empty number reads as 0, as the old tables meant it
    if (value.typeId() != QMetaType::QByteArray && value.canConvert<double>())
        return value.toDouble();
    double number = 0;
    if (Formats::tryStrToFloat(text(value).replace(u'.', u','), number))
        return number;
    return std::nullopt;
}

void setEntity(TLogRecord &r, TDxccList *dxcc, bool found)
{
    r[fiDXCC] = found ? dxcc->GetDxcc() : QString();
    r[fiITU] = found ? dxcc->GetITU() : 0;
    r[fiWAZ] = found ? dxcc->GetWAZ() : 0;
}

void trevanRecord(const TSourceRow &s, TImportStaging &staging, const TImportOptions &options, TDxccList *dxcc,
                  TLogRecord &r)
{
    const auto error = [&staging](const QString &format, const QVariantList &args = {}) {
        staging.AddError(format, args);
    };
    const std::optional<QDate> date = dateOf(s["datum"]);
    if (s["datum"].isNull() || date)
        r[fiDAT] = date.value_or(QDate());
    else {
        r[fiDAT] = QDate(1899, 12, 30);
        error(QStringLiteral("Neplatné datum \"%0:s\"!"), {text(s["datum"])});
    }
    const std::optional<QTime> time = timeOf(s["cas1"]);
    if (s["cas1"].isNull() || time)
        r[fiUTC] = time.value_or(QTime());
    else {
        r[fiUTC] = QTime(0, 0);
        error(QStringLiteral("Neplatný čas \"%0:s\"!"), {text(s["cas1"])});
    }
    const QString call = text(s["znacka"]);
    const bool validCall = IsValidCall(call);
    if (validCall)
        r[fiCALL] = call;
    else
        error(QStringLiteral("Neplatná značka \"%0:s\" (může obsahovat jen znaky \"A-Z, 0-9, /\")!"), {call});
    const bool found = dxcc && !call.isEmpty() && validCall && dxcc->FindCall(call);
    if (const auto freq = numberOf(s["kmitocet"])) {
        r[fiFREQ] = s["kmitocet"].isNull() ? QVariant() : QVariant(*freq);
        r[fiBAND] = GetBandIndex(*freq);
        if (r[fiBAND].toInt() == OutOfBand)
            staging.AddWarning(QStringLiteral("Frekvence %0:f je mimo rozsah radioamatérských pásem!"), {*freq});
    } else {
        r[fiFREQ] = 0.0;
        r[fiBAND] = OutOfBand;
        error(QStringLiteral("Neplatná frekvence \"%0:s\"!"), {text(s["kmitocet"])});
    }
    const int mode = GetModeIndexDef(text(s["mod"]), 0);
    r[fiMODE] = mode;
    if (mode == 0)
        error(QStringLiteral("Neplatný mód \"%0:s\"!"), {text(s["mod"])});
    r[fiRSTO] = text(s["reporto"]);
    r[fiRSTP] = text(s["reportp"]);
    r[fiNAME] = convertedText(s["jmeno"], options.CharSet);
    r[fiQTH] = convertedText(s["mesto"], options.CharSet);
    const QString ownLocator = text(s["lokator_vl"]);
    if (!ownLocator.isEmpty() && IsValidLocator(ownLocator))
        r[fiLOCO] = ownLocator;
    else {
        r[fiLOCO] = options.OwnLocator;
        error(QStringLiteral("Neplatný lokátor \"%0:s\"!"), {ownLocator});
    }
    const QString locator = text(s["lokator"]);
    if (IsValidLocator(locator))
        r[fiLOCP] = locator;
    else
        error(QStringLiteral("Neplatný lokátor \"%0:s\"!"), {locator});
    r[fiQSLO] = isTrue(s["qslo"]) ? 1 : 0;
    r[fiQSLP] = isTrue(s["qslp"]) ? 1 : 0;
    r[fiQSLVIA] = text(s["qsl_via"]);
    r[fiEQSLP] = 0;
    r[fiNOTE] = options.ReplaceNote ? options.Note : convertedText(s["poznamka"], options.CharSet);
    if (const auto power = numberOf(s["vykon"]))
        r[fiPWR] = *power;
    else {
        r[fiPWR] = options.Power;
        error(QStringLiteral("Neplatný výkon!"));
    }
    r[fiQRB] = QsoDistance(r[fiLOCO].toString(), r[fiLOCP].toString(), found,
                           found ? dxcc->GetLongitude() : 0, found ? dxcc->GetLatitude() : 0);
    setEntity(r, dxcc, found);
}

// A value of the old log table as the log field takes it; what the field cannot take
// ends the import.
QVariant converted(int field, const QVariant &value)
{
    if (value.isNull())
        return {};
    // A value of the field's own type goes as it is; anything else as its text.
    switch (field) {
    case fiDAT:
        if (value.typeId() == QMetaType::QDate)
            return value;
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().date();
        break;
    case fiUTC:
        if (value.typeId() == QMetaType::QTime)
            return value;
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().time();
        break;
    default:
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong)
            return value.toDouble();
    }
    return LogValueFromText(field, text(value));
}

void ostrelRecord(const TSourceRow &s, TImportStaging &staging, const TImportOptions &options, TDxccList *dxcc,
                  TLogRecord &r)
{
    r[fiDAT] = converted(fiDAT, s["datum"]);
    r[fiUTC] = converted(fiUTC, s["utc"]);
    r[fiCALL] = text(s["call"]);
    r[fiFREQ] = converted(fiFREQ, s["mhz"]);
    r[fiBAND] = GetBandIndex(r[fiFREQ].toDouble());
    if (r[fiBAND].toInt() == OutOfBand)
        staging.AddWarning(QStringLiteral("Frekvence %0:f je mimo rozsah radioamatérských pásem!"),
                           {r[fiFREQ].toDouble()});
    const int mode = GetModeIndexDef(text(s["mod"]), 0);
    r[fiMODE] = mode;
    if (mode == 0)
        staging.AddError(QStringLiteral("Neplatný mód \"%0:s\"!"), {text(s["mod"])});
    r[fiRSTO] = text(s["rst_o"]);
    r[fiRSTP] = text(s["rst_p"]);
    r[fiNAME] = text(s["jmeno"]);
    r[fiQTH] = text(s["qth"]);
    const QString ownLocator = text(s["loc_vl"]);
    r[fiLOCO] = ownLocator.isEmpty() ? options.OwnLocator : ownLocator;
    r[fiLOCP] = text(s["loc"]);
    r[fiQSLO] = isTrue(s["qsl_o"]) ? 1 : 0;
    r[fiQSLP] = isTrue(s["qsl_p"]) ? 1 : 0;
    r[fiQSLVIA] = text(s["qsl_mgr"]);
    r[fiEQSLP] = 0;
    r[fiNOTE] = options.ReplaceNote ? options.Note : text(s["poznamka"]);
    r[fiPWR] = converted(fiPWR, s["pwr"]);
    r[fiQRB] = converted(fiQRB, s["vzdal"]);
    // The DXCC code stays as the table holds it; the zones come from its entity.
    const QString code = text(s["dxcc"]);
    setEntity(r, dxcc, dxcc && !code.isEmpty() && dxcc->FindDxcc(code));
    r[fiDXCC] = code;
}

using TRowMapper = void (*)(const TSourceRow &, TImportStaging &, const TImportOptions &, TDxccList *, TLogRecord &);

void copyRecords(const TSourceTable &source, const QStringList &keys, TRowMapper map, TImportStaging &staging,
                 const TImportOptions &options, TDxccList *dxcc, const TProgressEvent &progress)
{
    // Rows are read one at a time in the order of the keys: the table is never held whole.
    const TSourceRowOrder order(source, keys);
    const TFieldPositions fields(source.LowerFieldNames());
    TProgressReporter reporter(progress);
    staging.BeginFill();
    try {
        for (qsizetype i = 0; i < order.Count(); ++i) {
            TLogRecord record;
            map(TSourceRow(fields, source.Row(order.RowAt(i))), staging, options, dxcc, record);
            staging.Post(record);
            reporter.ReportStep(i, std::max<qsizetype>(1, order.Count() - 1));
        }
        staging.EndFill();
    } catch (...) {
        staging.AbortFill();
        throw;
    }
}

template <typename Table>
bool importTable(TfrmImport &window, const TExchangeHost &host, const QString &fileName, const TImportOptions &options,
                 const QStringList &fieldNames, void (*copy)(const TSourceTable &, TImportStaging &,
                                                              const TImportOptions &, TDxccList *,
                                                              const TProgressEvent &))
{
    TfrmDialog *progress = host.progress;
    {
        TfrmDialogCloser closer(progress);
        if (progress)
            progress->ShowInfo(ImportText);
        window.Staging().ResetCounters();
        std::unique_ptr<Table> table;
        try {
            table = std::make_unique<Table>(fileName);
        } catch (const EVelkorError &) {
            MessageDlgDef(SourceTableUnreadableText(), mtError, mbOK, mrOk);
            return false;
        }
        if (table->LowerFieldNames() != fieldNames) {
            MessageDlgDef(QStringLiteral("Neplatný formát!"), mtError, mbOK, mrOk);
            return false;
        }
        TProgressEvent onProgress;
        if (progress && table->RowCount() > 0) {
            progress->ShowProgress(ImportText, 0, 100);
            onProgress = progress->ProgressCallback();
        }
        copy(*table, window.Staging(), options, host.dxccList, onProgress);
    }
    return window.ShowReview();
}

} // namespace

void ImportTrevanRecords(const TSourceTable &source, TImportStaging &staging, const TImportOptions &options,
                         TDxccList *dxcc, const TProgressEvent &progress)
{
    copyRecords(source, {"datum", "cas1"}, trevanRecord, staging, options, dxcc, progress);
}

void ImportOstrelRecords(const TSourceTable &source, TImportStaging &staging, const TImportOptions &options,
                         TDxccList *dxcc, const TProgressEvent &progress)
{
    copyRecords(source, {"datum", "utc", "cislo"}, ostrelRecord, staging, options, dxcc, progress);
}

bool ImportTrevanDb(TfrmImport &window, const TExchangeHost &host, const QString &fileName,
                    const TImportOptions &options)
{
    return importTable<TDbfTable>(window, host, fileName, options, TrevanFieldNames, ImportTrevanRecords);
}

bool ImportOstrelDb(TfrmImport &window, const TExchangeHost &host, const QString &fileName,
                    const TImportOptions &options)
{
    return importTable<TParadoxTable>(window, host, fileName, options, OstrelFieldNames, ImportOstrelRecords);
}

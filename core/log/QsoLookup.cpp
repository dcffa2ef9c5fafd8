#include "log/QsoLookup.h"

#include "radio/Amater.h"
#include "base/CaseFold.h"
#include "base/Formats.h"
#include "base/HotJournal.h"
#include "radio/Kontrola.h"
#include "radio/Locator.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

namespace {

// LIKE treats "%" and "_" as wildcards; a call sign never holds them, but the text is
// escaped all the same so that it only ever matches itself.
QString likeEscaped(const QString &text)
{
    QString escaped;
    for (QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

bool sameCall(const QVariant &rowCall, const QString &call)
{
    return rowCall.toString() == call;
}

QString text(const TLogRecord &row, int field)
{
    return LogValueAsString(field, row[field]);
}

} // namespace

TPreviousQsoFilter PreviousQsoFilter(const QString &call, qint64 excludeId)
{
    // The call signs wanted are the base call, "base/%", "%/base" and "%/base/%" as LIKE
    // patterns (ASCII letters without regard to case). Patterns with a leading "%" are
    // served by no index, so the same set is gathered in four parts:
    //  - the call itself, and the calls that begin with it and a "/": both read from the
    //    call-sign index, which orders by exact bytes. The forms of the base call that
    //    differ only in the case of its ASCII letters are built letter by letter, and a
    //    form is carried on only while the log holds a call beginning with it, so that
    //    a base of many letters costs a few look-ups, not one for each of its forms;
    //  - for a call with one "/", its part after it (index on that part);
    //  - the calls with two "/" or more, few in any log, tried against the four patterns
    //    (a partial index holds just them).
    // A call with at most one "/" matches a pattern exactly when one of the first three
    // parts finds it, so together they give what the four patterns give.
    const QString base = ExtractBaseCall(call);
    const QString like = likeEscaped(base);
    const QString upper = UpperAscii(base);
    const QString lower = LowerAscii(base);
    const QString patterns = QStringLiteral("CALL LIKE ? ESCAPE '\\' OR CALL LIKE ? ESCAPE '\\' OR "
                                            "CALL LIKE ? ESCAPE '\\' OR CALL LIKE ? ESCAPE '\\'");
    // The form's last character, when it is an ASCII letter, bounds the calls beginning
    // with the form: they lie below the form with that letter's successor in its place.
    const QString lastChar = QStringLiteral("substr(form, -1)");
    const QString endsInLetter =
        QStringLiteral("(%1 BETWEEN 'A' AND 'Z' OR %1 BETWEEN 'a' AND 'z')").arg(lastChar);
    const QString beyondForm =
        QStringLiteral("substr(form, 1, length(form) - 1) || char(unicode(%1) + 1)").arg(lastChar);
    TPreviousQsoFilter filter;
    filter.where =
        QStringLiteral(
            "ID IN (WITH RECURSIVE forms(form, done) AS (SELECT '', 0"
            " UNION SELECT form || substr(CASE capitals WHEN 1 THEN ? ELSE ? END, done + 1, 1), done + 1"
            " FROM forms, (SELECT 0 AS capitals UNION ALL SELECT 1)"
            " WHERE done < length(?) - 1"
            " AND (NOT %2 OR EXISTS (SELECT 1 FROM %1 WHERE CALL >= form AND CALL < %3)))"
            " SELECT ID FROM %1 WHERE CALL IN (SELECT form FROM forms WHERE done = length(?))"
            " UNION ALL SELECT %1.ID FROM forms CROSS JOIN %1 WHERE done = length(?) - 1"
            " AND %1.CALL >= form || '/' AND %1.CALL < form || '0'"
            " UNION ALL SELECT ID FROM %1 WHERE %4 AND %5 = ? COLLATE NOCASE"
            " UNION ALL SELECT ID FROM %1 WHERE %6 AND (%7))")
            .arg(LogTableName, endsInLetter, beyondForm, CallHasSlashSql, CallTailSql, CallHasSlashesSql, patterns);
    // "/" is followed by "0" in character order: the calls from "form/" up to "form0" are
    // those that begin with "form/". The length of the forms is taken from the base with
    // a "/", which is never NULL: an empty base still finds the calls beginning with "/",
    // while the call itself, NULL then, equals no call.
    filter.values = {upper,
                     lower,
                     base + u'/',
                     base,
                     base + u'/',
                     base,
                     like,
                     like + QStringLiteral("/%"),
                     QStringLiteral("%/") + like,
                     QStringLiteral("%/") + like + QStringLiteral("/%")};
    if (excludeId != 0) {
        filter.where = QStringLiteral("ID <> ? AND ") + filter.where;
        filter.values.prepend(excludeId);
    }
    return filter;
}

void FillFromPreviousQsos(const QList<TLogRecord> &rowsOldestFirst, const QString &call, TQsoFillFields &fields)
{
    // Which fields were empty is noted once: a value taken from an older row is then
    // replaced by that of a newer one, a value the operator typed never is.
    const bool nameEmpty = fields.Name.isEmpty();
    const bool qthEmpty = fields.Qth.isEmpty();
    const bool qslViaEmpty = fields.QslVia.isEmpty();
    const bool locEmpty = fields.LocP.isEmpty();
    const bool iotaEmpty = fields.Iota.isEmpty();
    const bool awardEmpty = fields.Award.isEmpty();

    bool exact = false;
    for (const TLogRecord &row : rowsOldestFirst) {
        const bool isExact = sameCall(row[fiCALL], call);
        if (exact && !isExact)
            continue;
        if (nameEmpty && !row.isEmpty(fiNAME))
            fields.Name = text(row, fiNAME);
        if (!isExact)
            continue;
        exact = true;
        if (qthEmpty && !row.isEmpty(fiQTH))
            fields.Qth = text(row, fiQTH);
        if (qslViaEmpty && !row.isEmpty(fiQSLVIA))
            fields.QslVia = text(row, fiQSLVIA);
        if (locEmpty && IsValidLocator(text(row, fiLOCP)))
            fields.LocP = text(row, fiLOCP);
        if (iotaEmpty && IsValidIOTA(text(row, fiIOTA)))
            fields.Iota = text(row, fiIOTA);
        if (awardEmpty && !row.isEmpty(fiAWARD))
            fields.Award = text(row, fiAWARD);
        if (IsValidCall(text(row, fiDXCC)))
            fields.Dxcc = text(row, fiDXCC);
        fields.Itu = text(row, fiITU);
        fields.Waz = text(row, fiWAZ);
    }
}

bool CallBookApplies(const QString &call)
{
    return call.startsWith(QStringLiteral("OK")) || call.startsWith(QStringLiteral("OL"));
}

void FillFromCallBook(const TCallBookEntry &entry, TQsoFillFields &fields)
{
    const bool nameEmpty = fields.Name.isEmpty();
    const bool qthEmpty = fields.Qth.isEmpty();
    const bool locEmpty = fields.LocP.isEmpty();
    if (nameEmpty && !entry.Name.isEmpty())
        fields.Name = entry.Name;
    if (qthEmpty && !entry.Town.isEmpty())
        fields.Qth = entry.Town;
    if (locEmpty && IsValidLocator(entry.Locator))
        fields.LocP = entry.Locator;
}

TCallBookLookup::TCallBookLookup(const QString &appDir)
    : m_path(QDir(appDir).filePath(QString::fromLatin1(FileName)))
{
    open();
}

TCallBookLookup::~TCallBookLookup()
{
    close();
}

bool TCallBookLookup::IsOpen()
{
    if (m_connectionName.isEmpty())
        open();
    return !m_connectionName.isEmpty();
}

void TCallBookLookup::open()
{
    if (!QFileInfo(m_path).isFile())
        return;
    // The read-only opening below cannot undo a write that was cut short; a callbook that
    // is damaged after that is not opened.
    if (RollBackHotJournal(m_path) == TJournalRecovery::Failed)
        return;
    const QString name = QStringLiteral("VelkorCallBook-") + QUuid::createUuid().toString(QUuid::Id128);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(m_path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
        ok = db.open();
    }
    if (ok)
        m_connectionName = name;
    else
        QSqlDatabase::removeDatabase(name);
}

void TCallBookLookup::close()
{
    if (m_connectionName.isEmpty())
        return;
    QSqlDatabase::database(m_connectionName, false).close();
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connectionName.clear();
}

bool TCallBookLookup::Find(const QString &call, TCallBookEntry &entry)
{
    if (!IsOpen())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    if (!query.prepare(QStringLiteral("SELECT ZNACKA, JMENO, MESTO, LOC FROM CallBook "
                                      "WHERE ZNACKA = ? COLLATE NOCASE ORDER BY ZNACKA LIMIT 1")))
        return false;
    query.addBindValue(call);
    if (!query.exec() || !query.next())
        return false;
    entry.Call = query.value(0).toString();
    entry.Name = query.value(1).toString();
    entry.Town = query.value(2).toString();
    entry.Locator = query.value(3).toString();
    return true;
}

QString SessionKey(const QString &dxcc, int band)
{
    return dxcc + u';' + QString::number(band);
}

bool NeedsQslRequest(const QList<TLogRecord> &previousQsos, int modeIndex, int band)
{
    for (const TLogRecord &row : previousQsos)
        if (row[fiMODE].toInt() == modeIndex && row[fiBAND].toInt() == band && row[fiQSLP].toInt() == 1)
            return false;
    return true;
}

QString ReportForMode(const QString &report, const QString &modeText)
{
    const QString mode = modeText.toUpper();
    const bool rst = mode == QLatin1String("CW") || mode == QLatin1String("SSTV") || mode == QLatin1String("PSK");
    if (rst && report.size() == 2)
        return report + u'9';
    if (!rst && report.size() == 3)
        return report.left(2);
    return report;
}

namespace {

QString upperAt(const QString &text, int index)
{
    QString result = text;
    if (index < result.size())
        result.replace(index, 1, result.at(index).toUpper());
    return result;
}

} // namespace

QString CapitalizeName(const QString &text)
{
    return upperAt(text, 0);
}

QString CapitalizeQth(const QString &text)
{
    if (text.isEmpty())
        return text;
    if (text.startsWith(QStringLiteral("nr."), Qt::CaseInsensitive) && text.size() > 4)
        return upperAt(text, 4);
    if (text.startsWith(QStringLiteral("nr "), Qt::CaseInsensitive) && text.size() > 3)
        return upperAt(text, 3);
    return upperAt(text, 0);
}

QString CompleteLocator(const QString &text)
{
    return text.size() == 4 ? text + QStringLiteral("MM") : text;
}

QString BandLabelText(const QString &freqText, bool *ok)
{
    double mhz = 0;
    const bool isNumber = Formats::tryStrToFloat(freqText, mhz);
    if (ok)
        *ok = isNumber;
    if (!isNumber)
        return {};
    return QStringLiteral("Pásmo: ") + BandNames[GetBandIndex(mhz)];
}

QTime DxLocalTime(const QTime &utc, int utcOffsetHours)
{
    return utc.addSecs(-utcOffsetHours * 3600);
}

int QsoDistance(const QString &ownLoc, const QString &partnerLoc, bool entityFound, double lon, double lat)
{
    if (!partnerLoc.isEmpty() && IsValidLocator(partnerLoc))
        return DistanceFromOwnLocator(ownLoc, partnerLoc, 0, 0);
    if (entityFound)
        return DistanceFromOwnLocator(ownLoc, partnerLoc, lon, lat);
    return 0;
}

int QsoAzimuth(const QString &ownLoc, const QString &partnerLoc, bool entityFound, double lon, double lat)
{
    if (!partnerLoc.isEmpty() && IsValidLocator(partnerLoc))
        return AzimuthFromOwnLocator(ownLoc, partnerLoc, 0, 0);
    if (entityFound)
        return AzimuthFromOwnLocator(ownLoc, partnerLoc, lon, lat);
    return 0;
}

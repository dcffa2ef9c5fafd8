// The end of one ADIF record: what the file left out is filled in or reported, the
// entity, distance and zones are worked out, and the record is staged or dropped as a
// duplicate.

#include "import/AdifImport.h"

#include "radio/Amater.h"
#include "radio/DxccList.h"
#include "import/EmptyValue.h"
#include "import/ImportDupeIndex.h"
#include "import/ImportStaging.h"
#include "radio/Kontrola.h"
#include "radio/Locator.h"

#include <cmath>

namespace
{

bool isEmpty(const TLogRecord &r, int field)
{
    return IsEmptyImportValue(r[field]);
}

} // namespace

void TAdifImport::ProcessAdifRecord(qint64 remaining)
{
    completeRecord();
    if (m_dupes && m_dupes->Contains(m_record)) {
        // The duplicate's own lines go, and so do their counts.
        m_staging.CountSkipped();
        m_staging.RollBackMessages(m_recordStart);
    } else {
        m_staging.Post(m_record);
        m_recordStart = m_staging.MessageMark();
    }
    newRecord();
    if (m_size > 0)
        m_progress.Report(int(std::lround(100.0 - double(remaining) * 100.0 / double(m_size))));
}

void TAdifImport::fillFromIntl()
{
    // CQRLOG and others write a text that holds a letter beyond ASCII only under the
    // *_INTL tag.
    const int fields[] = {fiNAME, fiQTH, fiNOTE};
    for (size_t i = 0; i < m_intl.size(); ++i)
        if (!m_intl[i].isEmpty() && isEmpty(m_record, fields[i]))
            setText(fields[i], m_intl[i]);
}

void TAdifImport::completeRecord()
{
    TLogRecord &r = m_record;
    fillFromIntl();
    if (isEmpty(r, fiDAT))
        m_staging.AddError(QStringLiteral("Datum musí být zadáno!"));
    if (isEmpty(r, fiUTC))
        m_staging.AddError(QStringLiteral("Čas musí být zadán!"));
    if (isEmpty(r, fiCALL))
        m_staging.AddError(QStringLiteral("Značka musí být zadána!"));

    if (!isEmpty(r, fiFREQ) && isEmpty(r, fiBAND))
        r[fiBAND] = GetBandIndex(r[fiFREQ].toDouble());
    else if (!isEmpty(r, fiBAND) && isEmpty(r, fiFREQ))
        r[fiFREQ] = BandLow[r[fiBAND].toInt()];
    if (isEmpty(r, fiFREQ)) {
        r[fiFREQ] = 0.0;
        m_staging.AddError(QStringLiteral("Frekvence musí být zadána!"));
    }
    if (isEmpty(r, fiBAND))
        r[fiBAND] = BandOutside;
    if (m_submode != 0)
        r[fiMODE] = m_submode;
    if (isEmpty(r, fiMODE)) {
        r[fiMODE] = 0;
        m_staging.AddError(QStringLiteral("Mód musí být zadán!"));
    }

    const int mode = r[fiMODE].toInt();
    const QString rst = mode == 2 || mode == 3 || mode == 4 ? QStringLiteral("59") : QStringLiteral("599");
    if (isEmpty(r, fiRSTO)) {
        r[fiRSTO] = rst;
        m_staging.AddWarning(QStringLiteral("Chybí RSTo - doplňuji defaultní hodnotu %0:s"), {rst});
    }
    if (isEmpty(r, fiRSTP)) {
        r[fiRSTP] = rst;
        m_staging.AddWarning(QStringLiteral("Chybí RSTp - doplňuji defaultní hodnotu %0:s"), {rst});
    }

    if (isEmpty(r, fiLOCO))
        setText(fiLOCO, m_options.OwnLocator);
    for (int field : {fiQSLO, fiQSLP, fiEQSLP})
        if (isEmpty(r, field))
            r[field] = 0;
    if (isEmpty(r, fiPWR))
        r[fiPWR] = m_options.Power;

    resolveEntity();
    if (m_options.ReplaceNote)
        setText(fiNOTE, m_options.Note);
}

void TAdifImport::resolveEntity()
{
    TLogRecord &r = m_record;
    bool found = false;
    if (m_dxcc) {
        if (isEmpty(r, fiDXCC)) {
            found = m_dxcc->FindCall(r[fiCALL].toString());
            if (found)
                setText(fiDXCC, m_dxcc->GetDxcc());
        } else {
            found = m_dxcc->FindDxcc(r[fiDXCC].toString());
        }
    }
    const double lon = found ? m_dxcc->GetLongitude() : 0;
    const double lat = found ? m_dxcc->GetLatitude() : 0;

    // The distance is always worked out anew. Without an own locator, or with nothing to
    // measure to, it is 0 rather than a warning per record or the distance to 0N 0E.
    const QString own = r[fiLOCO].toString();
    const QString partner = r[fiLOCP].toString();
    const bool partnerKnown = !partner.isEmpty() && IsValidLocator(partner);
    if (!own.isEmpty() && IsValidLocator(own) && (partnerKnown || found))
        r[fiQRB] = double(DistanceFromOwnLocator(own, partner, lon, lat));
    else
        r[fiQRB] = 0.0;

    if (isEmpty(r, fiITU))
        r[fiITU] = found ? m_dxcc->GetITU() : 0;
    if (isEmpty(r, fiWAZ))
        r[fiWAZ] = found ? m_dxcc->GetWAZ() : 0;
}

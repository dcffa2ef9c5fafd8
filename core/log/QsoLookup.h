#pragma once
// What the QSO window works out from a call sign, without the window: which earlier QSOs
// belong to the same station, which of their values fill the new QSO, the callbook's
// values for Czech and Slovak stations, the "new country" and "PSE QSL" hints, the report
// form that follows the mode, and the capitalisation of name and QTH.

#include "log/LogRecord.h"

#include <QList>
#include <QString>
#include <QTime>
#include <QVariantList>

// The condition (for LogQuery::SetWhere) that selects the earlier QSOs of a station: every
// QSO whose call sign is the base call of `call` alone, or with any prefix, any suffix or
// both, separated by "/". The call sign is bound as a value, never written into the SQL.
// A non-zero `excludeId` leaves that QSO out (the one being viewed or edited).
struct TPreviousQsoFilter {
    QString where;
    QVariantList values;
};
TPreviousQsoFilter PreviousQsoFilter(const QString &call, qint64 excludeId = 0);

// The fields of the QSO window that earlier QSOs and the callbook may fill, as texts.
struct TQsoFillFields {
    QString Name;
    QString Qth;
    QString QslVia;
    QString LocP;
    QString Iota;
    QString Award;
    QString Dxcc;
    QString Itu;
    QString Waz;

    friend bool operator==(const TQsoFillFields &, const TQsoFillFields &) = default;
};

// Fills from the earlier QSOs of the station (oldest first). The name comes from the
// newest row with a name among the rows up to the first exact match and every exact match
// after it; QTH, QSL via, locator, IOTA and award from the newest exact match that offers
// one, and only where the field was empty before; DXCC (when a valid code), ITU and WAZ
// from the newest exact match whatever they were. A call that never matched exactly
// takes only the name. Call signs are compared ignoring letter case.
void FillFromPreviousQsos(const QList<TLogRecord> &rowsOldestFirst, const QString &call,
                          TQsoFillFields &fields);

// One station of the callbook.
struct TCallBookEntry {
    QString Call;
    QString Name; // first name
    QString Town;
    QString Locator;
};

// Only Czech and Slovak stations ("OK", "OL") are looked up in the callbook.
bool CallBookApplies(const QString &call);
// Fills name, QTH and partner's locator from the callbook where they are still empty (so
// values taken from earlier QSOs win); the locator only when it is a valid one.
void FillFromCallBook(const TCallBookEntry &entry, TQsoFillFields &fields);

// Read access to the callbook table CallBook.db in the program folder. Opens only when the
// file exists; a missing or unreadable file simply finds nothing.
class TCallBookLookup
{
public:
    static constexpr auto FileName = "CallBook.db";

    explicit TCallBookLookup(const QString &appDir);
    ~TCallBookLookup();
    TCallBookLookup(const TCallBookLookup &) = delete;
    TCallBookLookup &operator=(const TCallBookLookup &) = delete;

    // Tries to open the table again when it was missing (it may have been imported since).
    bool IsOpen();
    // The first station, in call-sign order, whose call sign equals `call` ignoring case.
    bool Find(const QString &call, TCallBookEntry &entry);

private:
    void open();
    void close();

    QString m_path;
    QString m_connectionName;
};

// The key of an entity worked on a band, as the QSO window remembers what it saved.
QString SessionKey(const QString &dxcc, int band);

// True when none of the earlier QSOs with the station has a QSL received on this band and
// mode (also when there are none at all).
bool NeedsQslRequest(const QList<TLogRecord> &previousQsos, int modeIndex, int band);

// The report in the form the mode uses: CW, SSTV and PSK (exact upper-cased text) take
// RST, so a two-character report gets "9"; every other mode takes RS, so a three-character
// report loses its last character. Other lengths stay.
QString ReportForMode(const QString &report, const QString &modeText);

// "Jan" from "jan": the first character upper-cased.
QString CapitalizeName(const QString &text);
// The QTH's first letter upper-cased, after a leading "nr." or "nr " (near).
QString CapitalizeQth(const QString &text);

// A four-character locator becomes the centre of its square: "JN79" -> "JN79MM".
QString CompleteLocator(const QString &text);

// Band label of the QSO window for a frequency text ("Pásmo: 20m"); ok false (and an
// empty text) when the text is no number.
QString BandLabelText(const QString &freqText, bool *ok = nullptr);

// The local time of an entity whose offset says local time = UTC - offset hours, within
// one day.
QTime DxLocalTime(const QTime &utc, int utcOffsetHours);

// Distance in whole km and bearing in whole degrees from the own locator: to the
// partner's locator when it is valid and not empty, else to the entity's coordinates when
// an entity is known, else 0. A missing own locator is reported by the locator routines.
int QsoDistance(const QString &ownLoc, const QString &partnerLoc, bool entityFound, double lon, double lat);
int QsoAzimuth(const QString &ownLoc, const QString &partnerLoc, bool entityFound, double lon, double lat);

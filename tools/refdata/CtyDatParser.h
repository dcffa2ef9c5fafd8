#pragma once
// Reads the country file cty.dat (the format of the contest loggers' country files):
// one entity after another, each a header line of eight ":"-terminated fields
//   name: CQ zone: ITU zone: continent: latitude: longitude: UTC offset: primary prefix:
// followed by a ","-separated list of prefixes ended by ";". A prefix written "=CALL" stands
// for that exact call only; any prefix may carry overrides of the entity's data:
// (n) CQ zone, [n] ITU zone, <lat/lon> coordinates, {XX} continent, ~n~ UTC offset.
// Longitudes in the file are positive west; they are returned east positive. The time
// offset is kept as the file gives it.

#include <QList>
#include <QString>

struct CtyLocation {
    double latitude = 0;  // degrees, north positive
    double longitude = 0; // degrees, east positive
    QString continent;
    double utcOffset = 0;
    int cqZone = 0;
    int ituZone = 0;

    bool operator==(const CtyLocation &) const = default;
};

struct CtyPrefix {
    QString text;          // without "=" and without the overrides
    bool fullCall = false; // written "=CALL"
    CtyLocation location;  // the entity's data with this prefix's overrides applied
};

struct CtyEntity {
    QString name;
    QString primaryPrefix; // as written, e.g. "OK", "3D2/c", "*IT9"
    bool waeOnly = false;  // primary prefix marked "*": on the WAE or another list, not a DXCC entity
    CtyLocation location;
    QList<CtyPrefix> prefixes;
    int line = 0; // line of the header in the file
};

class CtyDatParser
{
public:
    // Parses the whole file text; raises RefDataError naming the line of the first fault.
    static QList<CtyEntity> parse(const QString &text);

    // Parses one list item ("OK1", "=OK1ABC(15)[28]", ...) over the entity's data;
    // raises RefDataError (without a line number) on a malformed item.
    static CtyPrefix parsePrefix(const QString &item, const CtyLocation &entityLocation);
};

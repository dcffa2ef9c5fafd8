#pragma once
// Writes the reference tables as SQLite files, each holding one table:
//   dxcc.db  table "dxcc"      PREFIX, DXCC, NAME, LONGITUDE, LATITUDE, CONT, UTC, ITU, WAZ,
//                              ENTITYROW (1: the row of an entity without prefixes of its own,
//                              never matched as a prefix)
//            table "dxcc_call" CALL, DXCC, NAME, LONGITUDE, LATITUDE, CONT, UTC, ITU, WAZ:
//                              the exact calls, each answering for that call only
//   iota.db  table "iota"      IOTA, PREFIX, NAZEV
//   Clbp.db  table "CallBook"  ZNACKA, TITUL, PRIJMENI, JMENO, ULICE, MESTO, PSC, EMAIL, LOC,
//                              CLASS, POZN (empty: the template the callbook is copied from)
// Each file is written under a temporary name beside the target and then renamed over it,
// so a reader never sees a half-written table.

#include "DxccTableBuilder.h"
#include "IotaTableParser.h"

#include <QList>
#include <QString>

class RefDataWriter
{
public:
    static void writeDxcc(const QString &path, const QList<DxccRow> &rows, const QList<DxccRow> &calls = {});
    static void writeIota(const QString &path, const QList<IotaRow> &rows);
    static void writeCallBookTemplate(const QString &path);
};

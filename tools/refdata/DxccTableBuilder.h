#pragma once
// Turns the entities of cty.dat into the rows of the DXCC list table: one row per prefix,
// carrying the DXCC code, name, coordinates, continent, UTC offset and zones that apply to
// that prefix (the entity's data with the prefix's own overrides); and into the table of
// exact calls, which answer for one call only and are kept apart from the prefixes.
//
// - The DXCC code of an entity is its primary prefix, upper-cased ("3D2/c" -> "3D2/C").
// - Entities marked "*" in cty.dat (WAE and similar lists: Sicily, Shetland, Vienna
//   Intl Ctr, ...) are no DXCC entities: their prefixes become rows of the DXCC entity they
//   belong to (its code and name), keeping their own zones and coordinates.
// - Exact calls ("=CALL") go to their own list: a call beginning with one of them is
//   another station, so they must never take part in the longest-prefix search.
// - An entity that cty.dat lists by exact calls only (Conway Reef, Bouvet, ...) gets one
//   row of its own whose prefix is its DXCC code, marked so that the lookup never takes it
//   for a prefix: the entity then still stands in the list of entities.
// - A prefix or exact call that occurs twice keeps its first occurrence, those of the
//   other lists coming first (they are the more specific).

#include "CtyDatParser.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

struct DxccRow {
    QString prefix;
    QString dxcc;
    QString name;
    double longitude = 0; // east positive
    double latitude = 0;
    QString continent;
    double utcOffset = 0;
    int itu = 0;
    int waz = 0;
    bool entityOnly = false; // the entity's own row, not a prefix of calls
};

class DxccTableBuilder
{
public:
    // The lookup compares at most this many characters of a call sign.
    static constexpr int MaxPrefixLength = 7;
    // First characters the lookup indexes; a row beginning otherwise could never match.
    static const QString IndexCharacters;

    explicit DxccTableBuilder(const QList<CtyEntity> &entities);

    // The rows ordered by prefix, each prefix once.
    QList<DxccRow> rows() const { return m_rows.values(); }
    // The exact calls ordered by call, each once; `prefix` holds the call.
    QList<DxccRow> calls() const { return m_calls.values(); }
    // What was folded, merged or left out, one line each, for the build output.
    const QStringList &notes() const { return m_notes; }

    static QString dxccCode(const QString &primaryPrefix);

private:
    struct Owner {
        QString dxcc;
        QString name;
    };
    void findOwners(const QList<CtyEntity> &entities);
    Owner ownerOf(const CtyEntity &entity) const;
    bool acceptable(const CtyPrefix &prefix);
    void addPrefix(const DxccRow &row);
    void addFullCall(const DxccRow &row);
    void addEntityRows(const QList<CtyEntity> &entities);

    QMap<QString, Owner> m_ownerByPrimary; // primary prefix as written -> owning DXCC entity
    QMap<QString, DxccRow> m_rows;
    QMap<QString, DxccRow> m_calls;
    QStringList m_notes;
};

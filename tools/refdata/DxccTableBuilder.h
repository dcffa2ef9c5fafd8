#pragma once
// Turns the entities of cty.dat into the rows of the DXCC list table: one row per prefix,
// carrying the DXCC code, name, coordinates, continent, UTC offset and zones that apply to
// that prefix (the entity's data with the prefix's own overrides).
//
// - The DXCC code of an entity is its primary prefix, upper-cased ("3D2/c" -> "3D2/C").
// - Entities marked "*" in cty.dat (WAE and similar lists: Sicily, Shetland, Vienna
//   Intl Ctr, ...) are no DXCC entities: their prefixes become rows of the DXCC entity they
//   belong to (its code and name), keeping their own zones and coordinates.
// - Exact calls ("=CALL") become rows whose prefix is the call, because the logbook
//   resolves by longest prefix. Those longer than 7 characters are left out (the lookup
//   compares at most 7 characters, so they could never match), and so are those that
//   resolve to the very same data through the shorter rows anyway.
// - A prefix that occurs twice keeps its first occurrence, those of the other lists
//   coming first (they are the more specific); plain prefixes win over exact calls of
//   the same text.

#include "CtyDatParser.h"

#include <QList>
#include <QMap>
#include <QSet>
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

    // True when both rows give the same answer for a call (everything but the prefix).
    bool sameData(const DxccRow &other) const;
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
    // What was folded, merged or left out, one line each, for the build output.
    const QStringList &notes() const { return m_notes; }
    int redundantCallsDropped() const { return m_redundantCalls; }
    int longCallsDropped() const { return m_longCalls; }

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
    const DxccRow *longestMatch(const QString &text) const;

    QMap<QString, Owner> m_ownerByPrimary; // primary prefix as written -> owning DXCC entity
    QMap<QString, DxccRow> m_rows;
    QSet<QString> m_seenCalls;
    QStringList m_notes;
    int m_redundantCalls = 0;
    int m_longCalls = 0;
};

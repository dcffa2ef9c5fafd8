#include "DxccTableBuilder.h"

#include <QSet>

#include <algorithm>

const QString DxccTableBuilder::IndexCharacters = QStringLiteral("/0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");

namespace
{

// Entities of the other lists whose DXCC entity their prefix does not tell.
const QMap<QString, QString> KnownOwners{
    {QStringLiteral("4U1V"), QStringLiteral("OE")}, // Vienna Intl Ctr counts as Austria
};

DxccRow makeRow(const CtyPrefix &prefix, const QString &dxcc, const QString &name)
{
    DxccRow row;
    row.prefix = prefix.text;
    row.dxcc = dxcc;
    row.name = name;
    row.longitude = prefix.location.longitude;
    row.latitude = prefix.location.latitude;
    row.continent = prefix.location.continent;
    row.utcOffset = prefix.location.utcOffset;
    row.itu = prefix.location.ituZone;
    row.waz = prefix.location.cqZone;
    return row;
}

} // namespace

QString DxccTableBuilder::dxccCode(const QString &primaryPrefix)
{
    QString code = primaryPrefix.trimmed();
    if (code.startsWith(QLatin1Char('*')))
        code.remove(0, 1);
    return code.toUpper();
}

DxccTableBuilder::DxccTableBuilder(const QList<CtyEntity> &entities)
{
    findOwners(entities);

    // The entities of the other lists first: cty.dat lists some calls both there and in
    // the DXCC entity they lie in, and the first occurrence of a prefix is kept.
    QList<CtyEntity> ordered = entities;
    std::stable_partition(ordered.begin(), ordered.end(), [](const CtyEntity &e) { return e.waeOnly; });

    for (const CtyEntity &entity : std::as_const(ordered)) {
        const Owner owner = ownerOf(entity);
        for (const CtyPrefix &prefix : entity.prefixes) {
            const DxccRow row = makeRow(prefix, owner.dxcc, owner.name);
            if (prefix.fullCall)
                addFullCall(row);
            else if (acceptable(prefix))
                addPrefix(row);
        }
    }
    addEntityRows(entities);
}

void DxccTableBuilder::findOwners(const QList<CtyEntity> &entities)
{
    // Plain prefixes of the DXCC entities, for finding the entity an entity of another
    // list lies in.
    QMap<QString, Owner> dxccPrefixes;
    for (const CtyEntity &entity : entities) {
        if (entity.waeOnly)
            continue;
        const Owner owner{dxccCode(entity.primaryPrefix), entity.name};
        m_ownerByPrimary.insert(entity.primaryPrefix, owner);
        for (const CtyPrefix &prefix : entity.prefixes) {
            if (!prefix.fullCall && !dxccPrefixes.contains(prefix.text))
                dxccPrefixes.insert(prefix.text, owner);
        }
    }
    QMap<QString, Owner> byCode;
    for (const Owner &owner : std::as_const(m_ownerByPrimary))
        byCode.insert(owner.dxcc, owner);

    for (const CtyEntity &entity : entities) {
        if (!entity.waeOnly)
            continue;
        const QString code = dxccCode(entity.primaryPrefix);
        const QString known = KnownOwners.value(code);
        if (!known.isEmpty() && byCode.contains(known)) {
            m_ownerByPrimary.insert(entity.primaryPrefix, byCode.value(known));
            m_notes << QStringLiteral("%1 (%2) counted as %3").arg(entity.name, code, known);
            continue;
        }
        // "IT9" lies in "I", "GM/S" in "GM": the longest DXCC prefix of the code without
        // its "/" suffix.
        const QString stem = code.section(QLatin1Char('/'), 0, 0);
        bool found = false;
        for (qsizetype length = stem.size(); length > 0 && !found; --length) {
            const auto it = dxccPrefixes.constFind(stem.left(length));
            if (it != dxccPrefixes.constEnd()) {
                m_ownerByPrimary.insert(entity.primaryPrefix, it.value());
                m_notes << QStringLiteral("%1 (%2) counted as %3").arg(entity.name, code, it->dxcc);
                found = true;
            }
        }
        if (!found) {
            m_ownerByPrimary.insert(entity.primaryPrefix, Owner{code, entity.name});
            m_notes << QStringLiteral("%1 (%2) belongs to no DXCC entity; kept as its own")
                           .arg(entity.name, code);
        }
    }
}

DxccTableBuilder::Owner DxccTableBuilder::ownerOf(const CtyEntity &entity) const
{
    return m_ownerByPrimary.value(entity.primaryPrefix, Owner{dxccCode(entity.primaryPrefix), entity.name});
}

bool DxccTableBuilder::acceptable(const CtyPrefix &prefix)
{
    if (prefix.text.size() > MaxPrefixLength) {
        m_notes << QStringLiteral("prefix %1 left out: longer than %2 characters")
                       .arg(prefix.text)
                       .arg(MaxPrefixLength);
        return false;
    }
    if (!IndexCharacters.contains(prefix.text.at(0))) {
        m_notes << QStringLiteral("prefix %1 left out: no call begins with \"%2\"")
                       .arg(prefix.text, prefix.text.at(0));
        return false;
    }
    return true;
}

void DxccTableBuilder::addPrefix(const DxccRow &row)
{
    const auto it = m_rows.constFind(row.prefix);
    if (it == m_rows.constEnd()) {
        m_rows.insert(row.prefix, row);
        return;
    }
    if (it->dxcc != row.dxcc)
        m_notes << QStringLiteral("prefix %1 of %2 ignored: already listed for %3")
                       .arg(row.prefix, row.name, it->name);
}

void DxccTableBuilder::addFullCall(const DxccRow &row)
{
    const auto it = m_calls.constFind(row.prefix);
    if (it == m_calls.constEnd()) {
        m_calls.insert(row.prefix, row);
        return;
    }
    if (it->dxcc != row.dxcc)
        m_notes << QStringLiteral("exact call %1 of %2 ignored: already listed for %3")
                       .arg(row.prefix, row.name, it->name);
}

// Every DXCC entity stands in the list, also one that cty.dat gives by exact calls only.
void DxccTableBuilder::addEntityRows(const QList<CtyEntity> &entities)
{
    QSet<QString> listed;
    for (const DxccRow &row : std::as_const(m_rows))
        listed.insert(row.dxcc);
    for (const CtyEntity &entity : entities) {
        const Owner owner = ownerOf(entity);
        if (listed.contains(owner.dxcc) || m_rows.contains(owner.dxcc))
            continue;
        CtyPrefix self;
        self.text = owner.dxcc;
        self.location = entity.location;
        DxccRow row = makeRow(self, owner.dxcc, owner.name);
        row.entityOnly = true;
        m_rows.insert(row.prefix, row);
        listed.insert(owner.dxcc);
        m_notes << QStringLiteral("%1 (%2) has exact calls only; listed by its code").arg(owner.name, owner.dxcc);
    }
}

#include "settings/IniFile.h"

#include "base/FileUtils.h"
#include "base/Formats.h"

#include <QFile>
#include <QSaveFile>
#include <QStringTokenizer>

namespace
{


// A line break inside a name or value would start a new line that reads back as
// another key or section.
QString singleLine(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

} // namespace

// The hash of the case-folded code points, so that names equal without regard to case
// hash alike.
size_t qHash(const TMemIniFile::NameKey &key, size_t seed) noexcept
{
    size_t hash = ::qHash(key.section, seed);
    const QString &name = key.name;
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t c = name.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < name.size() && name.at(i + 1).isLowSurrogate())
            c = QChar::surrogateToUcs4(name.at(i), name.at(++i));
        hash = hash * 31 + QChar::toCaseFolded(c);
    }
    return hash;
}

TMemIniFile::TMemIniFile(const QString &fileName) : m_fileName(fileName)
{
    if (!fileName.isEmpty())
        loadFile();
}

void TMemIniFile::Rename(const QString &fileName, bool reload)
{
    m_fileName = fileName;
    if (reload)
        loadFile();
}

void TMemIniFile::loadFile()
{
    QFile file(m_fileName);
    if (!file.exists()) {
        Clear();
        return;
    }
    if (!file.open(QIODevice::ReadOnly))
        throw EIniFileError(QStringLiteral("Soubor \"%1\" nelze načíst!").arg(m_fileName));
    // A file of the operator's alone that an older version left readable by others is
    // tightened at once, not only at its next save.
    if (m_ownerOnly)
        RemoveGroupOtherAccess(m_fileName);
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EIniFileError(QStringLiteral("Soubor \"%1\" nelze načíst!").arg(m_fileName));
    SetText(QString::fromUtf8(data));
}

void TMemIniFile::UpdateFile() const
{
    const QString failure = QStringLiteral("Soubor \"%1\" nelze uložit!").arg(m_fileName);
    if (m_fileName.isEmpty())
        throw EIniFileError(failure);
    // A file or folder the operator made read-only is left as it is, also by a program
    // that runs as root (which the system would let write).
    if (!IsWritableFileAndFolder(m_fileName))
        throw EIniFileError(failure);
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EIniFileError(failure);
    // The mode is set on the new file before it takes the old one's place, so there is
    // no moment at which others could read it.
    if (m_ownerOnly && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw EIniFileError(failure);
    const QByteArray data = Text().toUtf8();
    if (file.write(data) != data.size() || !file.commit())
        throw EIniFileError(failure); // the destructor discards the temporary file
}

void TMemIniFile::Clear()
{
    m_sections.clear();
    m_sectionIndex.clear();
    m_entryIndex.clear();
}

QString TMemIniFile::Text() const
{
    QString text;
    for (const Section &section : m_sections) {
        text += u'[' + singleLine(section.name) + QStringLiteral("]\n");
        for (const Entry &entry : section.entries)
            text += singleLine(entry.key) + u'=' + singleLine(entry.value) + u'\n';
        text += u'\n';
    }
    return text;
}

void TMemIniFile::SetText(const QString &text)
{
    Clear();
    qsizetype current = -1;
    m_entryIndex.reserve(text.count(u'\n') + 1);
    // Lines are looked at in place; only names and values are copied.
    for (QStringView line : QStringTokenizer(text, u'\n')) {
        line = line.trimmed(); // also drops the CR of CR LF line ends
        if (line.startsWith(QChar(0xFEFF)))
            line = line.mid(1).trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            current = sectionForWriteIndex(line.mid(1, line.size() - 2).trimmed().toString());
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (current < 0 || eq < 0)
            continue;
        putEntry(current, line.left(eq).trimmed().toString(), line.mid(eq + 1).trimmed().toString(), true);
    }
}

bool TMemIniFile::SectionExists(const QString &section) const
{
    return findSection(section) != nullptr;
}

bool TMemIniFile::ValueExists(const QString &section, const QString &key) const
{
    return findEntry(section, key) != nullptr;
}

QStringList TMemIniFile::ReadSections() const
{
    QStringList names;
    for (const Section &section : m_sections)
        names.append(section.name);
    return names;
}

QStringList TMemIniFile::ReadSection(const QString &section) const
{
    QStringList keys;
    if (const Section *found = findSection(section))
        for (const Entry &entry : found->entries)
            keys.append(entry.key);
    return keys;
}

QString TMemIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Entry *entry = findEntry(section, key);
    return entry ? entry->value : defaultValue;
}

int TMemIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    int value = defaultValue;
    return Formats::tryStrToInt(ReadString(section, key, QString()), value) ? value : defaultValue;
}

bool TMemIniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

double TMemIniFile::ReadFloat(const QString &section, const QString &key, double defaultValue) const
{
    double value = defaultValue;
    return Formats::tryStrToFloat(ReadString(section, key, QString()), value) ? value : defaultValue;
}

QDate TMemIniFile::ReadDate(const QString &section, const QString &key, const QDate &defaultValue) const
{
    QDate value;
    return Formats::tryStrToDate(ReadString(section, key, QString()), value) ? value : defaultValue;
}

void TMemIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    putEntry(sectionForWriteIndex(section), key, value, false);
}

void TMemIniFile::putEntry(qsizetype section, const QString &key, const QString &value, bool keepExisting)
{
    QList<Entry> &entries = m_sections[section].entries;
    NameKey id{section, key};
    const auto found = m_entryIndex.constFind(id);
    if (found == m_entryIndex.cend()) {
        m_entryIndex.insert(std::move(id), entries.size());
        entries.append({key, value});
    } else if (!keepExisting) {
        entries[*found] = {key, value};
    }
}

void TMemIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TMemIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TMemIniFile::WriteFloat(const QString &section, const QString &key, double value)
{
    WriteString(section, key, Formats::floatToStr(value));
}

void TMemIniFile::WriteDate(const QString &section, const QString &key, const QDate &value)
{
    WriteString(section, key, Formats::dateToStr(value));
}

qsizetype TMemIniFile::sectionIndex(const QString &name) const
{
    return m_sectionIndex.value(NameKey{-1, name}, -1);
}

const TMemIniFile::Section *TMemIniFile::findSection(const QString &name) const
{
    const qsizetype index = sectionIndex(name);
    return index < 0 ? nullptr : &m_sections[index];
}

qsizetype TMemIniFile::sectionForWriteIndex(const QString &name)
{
    NameKey id{-1, name};
    const auto found = m_sectionIndex.constFind(id);
    if (found != m_sectionIndex.cend())
        return *found;
    m_sectionIndex.insert(std::move(id), m_sections.size());
    m_sections.append({name, {}});
    return m_sections.size() - 1;
}

const TMemIniFile::Entry *TMemIniFile::findEntry(const QString &section, const QString &key) const
{
    const qsizetype index = sectionIndex(section);
    if (index < 0)
        return nullptr;
    const auto entry = m_entryIndex.constFind(NameKey{index, key});
    return entry == m_entryIndex.cend() ? nullptr : &m_sections[index].entries[*entry];
}

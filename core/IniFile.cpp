#include "IniFile.h"

#include "Formats.h"

#include <QFile>
#include <QSaveFile>

namespace
{

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A line break inside a name or value would start a new line that reads back as
// another key or section.
QString singleLine(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

} // namespace

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
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EIniFileError(failure);
    const QByteArray data = Text().toUtf8();
    if (file.write(data) != data.size() || !file.commit())
        throw EIniFileError(failure); // the destructor discards the temporary file
}

void TMemIniFile::Clear()
{
    m_sections.clear();
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
    Section *current = nullptr;
    const QStringList lines = text.split(u'\n');
    for (QString line : lines) {
        line = line.trimmed(); // also drops the CR of CR LF line ends
        if (line.startsWith(QChar(0xFEFF)))
            line = line.mid(1).trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            current = &sectionForWrite(line.mid(1, line.size() - 2).trimmed());
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (current == nullptr || eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        bool known = false;
        for (const Entry &entry : std::as_const(current->entries))
            known = known || sameName(entry.key, key);
        if (!known)
            current->entries.append({key, line.mid(eq + 1).trimmed()});
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
    Section &target = sectionForWrite(section);
    for (Entry &entry : target.entries) {
        if (sameName(entry.key, key)) {
            entry = {key, value};
            return;
        }
    }
    target.entries.append({key, value});
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

const TMemIniFile::Section *TMemIniFile::findSection(const QString &name) const
{
    for (const Section &section : m_sections)
        if (sameName(section.name, name))
            return &section;
    return nullptr;
}

TMemIniFile::Section &TMemIniFile::sectionForWrite(const QString &name)
{
    for (Section &section : m_sections)
        if (sameName(section.name, name))
            return section;
    m_sections.append({name, {}});
    return m_sections.last();
}

const TMemIniFile::Entry *TMemIniFile::findEntry(const QString &section, const QString &key) const
{
    if (const Section *found = findSection(section))
        for (const Entry &entry : found->entries)
            if (sameName(entry.key, key))
                return &entry;
    return nullptr;
}

#pragma once
// The logbook's settings files (Velkor.ini, <CALL>.uf) kept in memory: sections of
// "key=value" lines. Getters read the memory, setters change it, and only
// UpdateFile writes the file.
//
// Text form (UTF-8, LF line ends, no byte-order mark):
//     [Section]
//     key=value
//     key2=value
//     <blank line after every section>
// Reading is tolerant: CR LF line ends, a UTF-8 byte-order mark, blank lines, blanks
// around section names, keys and values, and ";" comment lines are all accepted.
// Comment lines, lines outside any section and lines without "=" carry nothing and
// are dropped. A value runs from the first "=" to the end of the line, so it may hold
// "=" itself. Section and key names are compared without regard to case; a section or
// key that appears twice counts once, with its first value. Writing a key that exists
// under another spelling rewrites its line with the new spelling; a section keeps the
// spelling it was created with. The order of sections and keys is kept, so a file this
// class wrote reads and writes back unchanged.
//
// Values are trimmed when read, so blanks at either end of a value do not survive a
// save and reload. Line breaks cannot be stored in a line-based file: they are written
// as blanks, so that a value can never split into lines that read as other keys.
//
// Failures: a missing file reads as empty contents; a file that exists but cannot be
// read, or a file that cannot be written, throws EIniFileError with a Czech message.
// Writes go through a temporary file that replaces the old one only when complete, so
// a failed save leaves the previous file untouched.

#include "base/VelkorError.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class EIniFileError : public EVelkorError
{
public:
    using EVelkorError::EVelkorError;
};

class TMemIniFile
{
public:
    // With a file name, reads that file as Rename(fileName, true) does (and may throw).
    explicit TMemIniFile(const QString &fileName = QString());

    QString FileName() const { return m_fileName; }
    // Makes fileName the file of this object; with reload, replaces the contents by
    // the file's (empty when it does not exist; throws when it cannot be read).
    void Rename(const QString &fileName, bool reload);
    // Writes the whole contents to the current file; throws on failure.
    void UpdateFile() const;
    // With owner-only set, UpdateFile leaves the file readable and writable by its owner
    // alone (0600) whatever the umask: for settings that hold an operator's password.
    void SetOwnerOnly(bool ownerOnly) { m_ownerOnly = ownerOnly; }
    bool OwnerOnly() const { return m_ownerOnly; }
    // Removes every section and key from memory; the file name stays.
    void Clear();

    // The contents in file form, and their replacement from file-form text.
    QString Text() const;
    void SetText(const QString &text);

    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    QStringList ReadSections() const;
    QStringList ReadSection(const QString &section) const; // the keys of a section

    // Typed access; every Read... returns the default when the key is missing or its
    // value does not convert. Booleans are stored as "1"/"0" and read as "not 0";
    // floats and dates use the program's forms (decimal ",", date "dd.mm.yyyy").
    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;
    double ReadFloat(const QString &section, const QString &key, double defaultValue) const;
    QDate ReadDate(const QString &section, const QString &key, const QDate &defaultValue) const;

    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);
    void WriteFloat(const QString &section, const QString &key, double value);
    void WriteDate(const QString &section, const QString &key, const QDate &value);

private:
    bool m_ownerOnly = false;
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        QList<Entry> entries;
    };

    const Section *findSection(const QString &name) const;
    const Entry *findEntry(const QString &section, const QString &key) const;
    // Sets the key's value, appending the key when the section lacks it; with
    // keepExisting a key already there keeps its value and spelling.
    void putEntry(qsizetype section, const QString &key, const QString &value, bool keepExisting);
    qsizetype sectionIndex(const QString &name) const; // -1 when there is none
    qsizetype sectionForWriteIndex(const QString &name);
    void loadFile();

    QString m_fileName;
    QList<Section> m_sections;
    // Names are found through hashes of their case-folded form, so that reading a file
    // takes time in proportion to its length, however many keys it holds. Sections and
    // keys are only ever appended (or all cleared), so their positions stay valid.
    // A name within its section (-1 for section names), compared and hashed without
    // regard to case and without making a folded copy of it.
    struct NameKey {
        qsizetype section;
        QString name;
        friend bool operator==(const NameKey &a, const NameKey &b)
        {
            return a.section == b.section && a.name.compare(b.name, Qt::CaseInsensitive) == 0;
        }
        friend size_t qHash(const NameKey &key, size_t seed) noexcept;
    };
    friend size_t qHash(const NameKey &key, size_t seed) noexcept;
    QHash<NameKey, qsizetype> m_sectionIndex; // section name -> section
    QHash<NameKey, qsizetype> m_entryIndex;   // (section, key) -> entry
};

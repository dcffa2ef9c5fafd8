#pragma once
// Base of the logbook's settings objects: an in-memory ini file with the operations
// that tie it to a file on disk. Setters change only memory; a save writes the file.

#include "settings/IniFile.h"

#include <QString>

class TOptions
{
public:
    TOptions() = default;
    virtual ~TOptions() = default;
    TOptions(const TOptions &) = delete;
    TOptions &operator=(const TOptions &) = delete;

    // Makes fileName the settings file and reads it; a file that does not exist gives
    // empty settings. Throws EIniFileError when the file exists but cannot be read.
    virtual void Load(const QString &fileName);
    // Makes fileName the settings file without reading it, then writes the whole
    // settings to it. Throws EIniFileError when the file cannot be written.
    virtual void SaveAs(const QString &fileName);
    // Writes the whole settings to the current file; throws EIniFileError on failure.
    // The previous file stays intact when a save fails.
    virtual void Save();
    // Empties the settings in memory; the file name stays and the file is not touched.
    virtual void Clear();

    TMemIniFile Ini;
};

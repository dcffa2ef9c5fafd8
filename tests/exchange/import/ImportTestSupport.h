#pragma once
// What the import tests share: a staging table in a temporary folder of its own, the
// build's entity list, options as the ADIF command presets them, and reading ADIF text
// or a file through the reader.

#include "import/AdifImport.h"
#include "radio/DxccList.h"
#include "import/ImportOptions.h"
#include "import/ImportStaging.h"
#include "log/LogTable.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

inline const QString SamplesDir = QStringLiteral(VELKOR_SOURCE_DIR "/../shared/samples/");

inline TImportOptions adifOptions()
{
    TImportOptions o;
    o.CheckDupes = false;
    o.Power = 100;
    o.OwnLocator = QStringLiteral("JN79SX");
    return o;
}

struct StagedImport {
    QTemporaryDir dir;
    std::unique_ptr<TImportStaging> staging;

    StagedImport() { staging = std::make_unique<TImportStaging>(dir.path() + u'/'); }

    static TDxccList &dxcc()
    {
        static TDxccList list(QStringLiteral(VELKOR_STAGE_DIR "/"));
        return list;
    }

    void read(const QByteArray &adif, const TImportOptions &options = adifOptions(),
              const TImportDupeIndex *dupes = nullptr)
    {
        TAdifImport reader(*staging, options, &dxcc(), dupes);
        reader.ReadData(reinterpret_cast<const uchar *>(adif.constData()), adif.size());
    }

    void readFile(const QString &path, const TImportOptions &options = adifOptions())
    {
        TAdifImport reader(*staging, options, &dxcc());
        reader.ReadFile(path);
    }

    TLogRecord record(qint64 id) const
    {
        TLogRecord r;
        staging->Table().FindKey(id, r);
        return r;
    }
    qint64 count() const { return staging->RecordCount(); }
    QStringList messages() const { return staging->Messages(); }
};

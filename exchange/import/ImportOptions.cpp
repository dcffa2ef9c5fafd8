#include "import/ImportOptions.h"

#include "radio/CharSet.h"
#include "settings/UserOptions.h"

TImportOptions ImportOptionsPreset(TImportSource source, const TUserOptions &user)
{
    TImportOptions options;
    options.OwnLocator = user.GetLocator();
    options.Power = user.GetPower();
    if (source == TImportSource::Adif) {
        options.CharSet = 0;
        options.CheckDupes = true;
    } else {
        // Both older tables hold DOS text.
        options.CharSet = CodePage852;
        options.CheckDupes = false;
    }
    return options;
}

TImportDisable ImportDisableFor(TImportSource source)
{
    switch (source) {
    case TImportSource::Adif:
        return {};
    case TImportSource::Trevan:
        return idStxSrx | idDupes;
    case TImportSource::Ostrel:
        return idStxSrx | idCharSet | idDupes;
    }
    return {};
}

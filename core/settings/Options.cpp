#include "settings/Options.h"

void TOptions::Load(const QString &fileName)
{
    Ini.Rename(fileName, true);
}

void TOptions::SaveAs(const QString &fileName)
{
    Ini.Rename(fileName, false);
    Ini.UpdateFile();
}

void TOptions::Save()
{
    Ini.UpdateFile();
}

void TOptions::Clear()
{
    Ini.Clear();
}

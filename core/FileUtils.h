#pragma once
// Small file helpers shared by the backup, the data module and the imports.

#include <QString>

// The size of the file in bytes; the file is opened for reading to get it, so a
// missing or unreadable file raises EFileError ("Soubor "..." nelze otevřít!").
qint64 GetFileSizeByName(const QString &fileName);

// Deletes every regular file in Dir whose name matches the wildcard Mask ("_*.db").
// Folders and files that cannot be deleted are left; Dir may end with "/" or not.
void DeleteFilesByMask(const QString &dir, const QString &mask);

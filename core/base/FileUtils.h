#pragma once
// Small file helpers shared by the backup, the data module and the imports.

#include <QFileDevice>
#include <QString>

// The size of the file in bytes; the file is opened for reading to get it, so a
// missing or unreadable file raises EFileError ("Soubor "..." nelze otevřít!").
qint64 GetFileSizeByName(const QString &fileName);

// Deletes every regular file in Dir whose name matches the wildcard Mask ("_*.db").
// Folders and files that cannot be deleted are left; Dir may end with "/" or not.
void DeleteFilesByMask(const QString &dir, const QString &mask);

// What an operator's files (settings, logs) and the folders the program makes for them
// may be: for their owner alone, whatever the umask.
inline constexpr QFileDevice::Permissions OwnerOnlyFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
inline constexpr QFileDevice::Permissions OwnerOnlyFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

// Makes the folder and any missing parents, each new one for its owner only (0700);
// folders that existed are left as they are. False when the folder is not there after.
bool MakeOwnerOnlyPath(const QString &dir);

// Makes a new, empty file for its owner only (0600); false when the file exists already
// or cannot be made, with the system's error number (errno) of the call that failed in
// `systemError` when given.
bool CreateOwnerOnlyFile(const QString &path, int *systemError = nullptr);

// True when the file or folder may be written: its mode gives its owner (or, for a file
// of another user, someone) the right to write, and the system allows it. The mode is
// read by the program itself, so a file or folder the operator made read-only stays so
// even for a program that runs as root.
bool IsWritablePath(const QString &path);

// True when the folder of the file may be written and so may the file itself, when it
// exists (see IsWritablePath): a file the operator made read-only, or one in a folder
// made read-only, is neither changed nor replaced by the program.
bool IsWritableFileAndFolder(const QString &path);

// Takes the group's and others' bits away from a file of this user, keeping the owner's
// as they are (a read-only file stays read-only); false when it could not be done.
bool RemoveGroupOtherAccess(const QString &path);

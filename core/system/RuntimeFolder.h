#pragma once
// The folder of this user's single-instance lock and local endpoints. Whoever can write
// there can plant a lock or a socket under our names (and so stop the logbook from
// starting, or listen in its place), so only a folder that belongs to the user and that
// nobody else may write into serves: a folder of the program's own under the home folder,
// made for the user alone. Every start of the user finds it there, with or without a
// session's runtime folder (XDG_RUNTIME_DIR), which is therefore not used. A shared folder
// such as /tmp never serves.

#include <QString>

// The folder, without a trailing "/"; empty when none can be found or made.
QString PrivateRuntimeFolder();
// Where that folder lies (or would lie), made or not: for telling the operator.
QString OwnRuntimeFolderPath();

// True when `path` is a folder itself (not a symbolic link), owned by this user and
// writable by nobody else.
bool IsPrivateFolder(const QString &path);

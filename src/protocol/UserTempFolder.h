// The per-user temporary folder for files handed to other programs: below
// the system's temporary folder, created for this user alone.
#pragma once

#include <QString>

// The folder's path; empty (with the reason in *error) when it cannot be
// made or is not this user's private folder (a planted link or a folder
// others can write to is never used).
QString UserTempFolder(QString *error);

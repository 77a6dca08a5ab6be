// The temporary file a save writes whole before it is moved over its target:
// the workbook's compound file and the CSV export. A failure is recorded in
// the `error` passed in (see Record: an earlier failure there is kept).
#pragma once

#include <cstdio>
#include <string>

#include "xls/XlsError.h"

namespace xls {

#ifdef _WIN32

// The folder part of a path with its last separator, or "." for a bare name.
std::wstring FolderOf(const std::wstring& path);

// Creates an empty file with an unused name in `folder` and returns its path;
// empty when the folder cannot take it (e.g. it does not exist).
std::wstring CreateTempFile(const std::wstring& folder, SaveError& error);

// Moves the finished file `temp` over `target`, replacing it, through to the
// disk; false when it could not.
bool MoveOverTarget(const std::wstring& temp, const std::wstring& target, SaveError& error);

#else

// The folder part of a path: "." for a bare name, "/" for a file in the root.
std::string FolderOf(const std::string& path);

// Opens a new, empty file with an unused name in `folder` and stores its
// path in `tempPath`; null when none could be created.
FILE* CreateTempFile(const std::string& folder, std::string& tempPath, SaveError& error);

// Flushes the file's data to the disk and closes it; false when any of it
// failed (a full disk may show only here).
bool SyncAndClose(FILE* file, SaveError& error);

// Renames the finished file `temp` over `target`; false when it could not.
bool MoveOverTarget(const std::string& temp, const std::string& target, SaveError& error);

#endif

}  // namespace xls

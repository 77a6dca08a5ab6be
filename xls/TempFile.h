// The one way a file is saved, on each system: written whole into a new
// temporary file beside its target, flushed to the disk, and only then moved
// over the target. The workbook's compound file and the CSV export both go
// this way. A failure is recorded in the `error` passed in (see Record: an
// earlier failure there is kept).
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include "xls/XlsError.h"

namespace xls {

#ifdef _WIN32

// The folder part of a path with its last separator, or "." for a bare name.
std::wstring FolderOf(const std::wstring& path);

// Creates an empty file with an unused name in `folder` and returns its path;
// empty when the folder cannot take it (e.g. it does not exist).
std::wstring CreateTempFile(const std::wstring& folder, SaveError& error);

// Writes what the system still holds of the closed file `path` to the disk.
bool FlushToDisk(const std::wstring& path, SaveError& error);

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

// Writes `bytes` into a new temporary file beside `target`, flushes it to the
// disk and moves it over `target` only when every byte was written and the
// file was closed without error. On failure the temporary file is removed and
// whatever `target` was before (an older file, a folder, or nothing) stays as
// it was.
bool WriteFileAtomically(const std::filesystem::path& target, const std::string& bytes,
                         SaveError& error);

}  // namespace xls

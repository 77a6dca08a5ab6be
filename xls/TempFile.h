// The temporary file a save writes whole before it is renamed over its
// target (POSIX systems): the workbook's compound file and the CSV export.
#pragma once

#include <cstdio>
#include <string>

namespace xls {

// The folder part of a path: "." for a bare name, "/" for a file in the root.
std::string FolderOf(const std::string& path);

// Opens a new, empty file with an unused name in `folder` and stores its
// path in `tempPath`; null when none could be created.
FILE* CreateTempFile(const std::string& folder, std::string& tempPath);

// Flushes the file's data to the disk and closes it; false when any of it
// failed (a full disk may show only here).
bool SyncAndClose(FILE* file);

}  // namespace xls

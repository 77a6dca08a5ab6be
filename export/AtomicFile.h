#pragma once

#include <filesystem>
#include <string>

#include "xls/XlsError.h"

// Writes `bytes` into a new temporary file beside `target`, flushes it to the
// disk and moves it over `target` only when every byte was written and the
// file was closed without error. On failure the temporary file is removed,
// whatever `target` was before (an older file, or nothing) stays as it was
// and `error` tells why (see xls::Record: an earlier failure there is kept).
bool writeFileAtomically(const std::filesystem::path& target, const std::string& bytes,
                         xls::SaveError& error);

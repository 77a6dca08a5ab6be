#pragma once

#include <filesystem>
#include <string>

// Writes `bytes` into a new temporary file beside `target` and renames it to
// `target` only when every byte was written and the file was closed without
// error. On failure the temporary file is removed and whatever `target` was
// before (an older file, or nothing) stays as it was.
bool writeFileAtomically(const std::filesystem::path& target, const std::string& bytes);

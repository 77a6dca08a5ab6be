#include "export/AtomicFile.h"

#include <system_error>

namespace fs = std::filesystem;

#ifdef _WIN32

#include <fstream>

namespace {

// "<name>.<n>.tmp" in the target's folder, for the first n not taken.
fs::path temporaryBeside(const fs::path& target) {
    std::error_code error;
    for (unsigned n = 0;; ++n) {
        fs::path candidate = target;
        candidate += "." + std::to_string(n) + ".tmp";
        if (!fs::exists(candidate, error) && !error)
            return candidate;
        if (error)
            return fs::path();
    }
}

bool writeAll(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

}  // namespace

bool writeFileAtomically(const fs::path& target, const std::string& bytes) {
    const fs::path temporary = temporaryBeside(target);
    if (temporary.empty())
        return false;
    std::error_code error;
    if (writeAll(temporary, bytes)) {
        fs::rename(temporary, target, error);
        if (!error)
            return true;
    }
    fs::remove(temporary, error);
    return false;
}

#else

#include <unistd.h>

#include <cstdio>

#include "xls/TempFile.h"

// The same temporary file as the workbook's save: created anew (never an
// existing file or link), flushed to the disk before the rename.
bool writeFileAtomically(const fs::path& target, const std::string& bytes) {
    std::string temporary;
    FILE* file = xls::CreateTempFile(xls::FolderOf(target.string()), temporary);
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool saved =
        xls::SyncAndClose(file) && written && std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!saved)
        unlink(temporary.c_str());
    return saved;
}

#endif

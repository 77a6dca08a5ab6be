#include "export/AtomicFile.h"

#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

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

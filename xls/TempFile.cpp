#include "xls/TempFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace xls {

namespace {

// False, with errno recorded in `error`, when the call failed.
bool Succeeded(bool ok, SaveError& error) {
    if (!ok) {
        Record(error, LastSystemError());
    }
    return ok;
}

}  // namespace

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Opens a new, empty file with an unused name in `folder`. O_EXCL makes sure
// an existing file (or a link planted under that name) is never reused; the
// mode is the usual one for new documents, narrowed by the umask.
FILE* CreateTempFile(const std::string& folder, std::string& tempPath, SaveError& error) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = folder + "/.ventrix-" + std::to_string(getpid()) + "-" +
                           std::to_string(++counter) + ".tmp";
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            FILE* file = fdopen(fd, "wb");
            if (!Succeeded(file != nullptr, error)) {
                close(fd);
                unlink(name.c_str());
                return nullptr;
            }
            tempPath = name;
            return file;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    Record(error, LastSystemError());
    return nullptr;
}

bool SyncAndClose(FILE* file, SaveError& error) {
    bool ok = Succeeded(std::fflush(file) == 0, error);
    ok = Succeeded(fsync(fileno(file)) == 0, error) && ok;
    return Succeeded(std::fclose(file) == 0, error) && ok;
}

bool MoveOverTarget(const std::string& temp, const std::string& target, SaveError& error) {
    return Succeeded(std::rename(temp.c_str(), target.c_str()) == 0, error);
}

bool WriteFileAtomically(const std::filesystem::path& target, const std::string& bytes,
                         SaveError& error) {
    std::string temporary;
    FILE* file = CreateTempFile(FolderOf(target.string()), temporary, error);
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (!written) {
        Record(error, LastSystemError());
    }
    const bool saved =
        SyncAndClose(file, error) && written && MoveOverTarget(temporary, target.string(), error);
    if (!saved) {
        unlink(temporary.c_str());
    }
    return saved;
}

}  // namespace xls

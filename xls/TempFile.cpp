#include "xls/TempFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace xls {

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
FILE* CreateTempFile(const std::string& folder, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = folder + "/.ventrix-" + std::to_string(getpid()) + "-" +
                           std::to_string(++counter) + ".tmp";
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            FILE* file = fdopen(fd, "wb");
            if (file == nullptr) {
                close(fd);
                unlink(name.c_str());
                return nullptr;
            }
            tempPath = name;
            return file;
        }
        if (errno != EEXIST) {
            return nullptr;
        }
    }
    return nullptr;
}

bool SyncAndClose(FILE* file) {
    bool ok = std::fflush(file) == 0;
    ok = fsync(fileno(file)) == 0 && ok;
    return std::fclose(file) == 0 && ok;
}

}  // namespace xls

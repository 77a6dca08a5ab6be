#include "export/AtomicFile.h"

#include "xls/TempFile.h"

namespace fs = std::filesystem;

// The same temporary file as the workbook's save: created anew (never an
// existing file or link), flushed to the disk before the move.

#ifdef _WIN32

#include <windows.h>

#include <algorithm>

namespace {

// Writes every byte into the file and flushes it to the disk; a write that
// takes fewer bytes than asked for means the disk is full.
bool writeAll(HANDLE file, const std::string& bytes, xls::SaveError& error) {
    for (std::size_t done = 0; done < bytes.size();) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) {
            xls::Record(error, xls::LastSystemError());
            return false;
        }
        if (written != chunk) {
            xls::Record(error, xls::SystemError(ERROR_DISK_FULL));
            return false;
        }
        done += written;
    }
    if (!FlushFileBuffers(file)) {
        xls::Record(error, xls::LastSystemError());
        return false;
    }
    return true;
}

// Fills the empty file `path` with `bytes`.
bool writeFile(const std::wstring& path, const std::string& bytes, xls::SaveError& error) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        xls::Record(error, xls::LastSystemError());
        return false;
    }
    bool written = writeAll(file, bytes, error);
    if (!CloseHandle(file)) {
        xls::Record(error, xls::LastSystemError());
        written = false;
    }
    return written;
}

}  // namespace

bool writeFileAtomically(const fs::path& target, const std::string& bytes, xls::SaveError& error) {
    const std::wstring temporary = xls::CreateTempFile(xls::FolderOf(target.wstring()), error);
    if (temporary.empty())
        return false;
    const bool saved = writeFile(temporary, bytes, error) &&
                       xls::MoveOverTarget(temporary, target.wstring(), error);
    if (!saved)
        DeleteFileW(temporary.c_str());
    return saved;
}

#else

#include <unistd.h>

#include <cstdio>

bool writeFileAtomically(const fs::path& target, const std::string& bytes, xls::SaveError& error) {
    std::string temporary;
    FILE* file = xls::CreateTempFile(xls::FolderOf(target.string()), temporary, error);
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (!written)
        xls::Record(error, xls::LastSystemError());
    const bool saved = xls::SyncAndClose(file, error) && written &&
                       xls::MoveOverTarget(temporary, target.string(), error);
    if (!saved)
        unlink(temporary.c_str());
    return saved;
}

#endif

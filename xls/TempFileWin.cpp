#include <windows.h>

#include <algorithm>
#include <vector>

#include "xls/TempFile.h"

namespace xls {

namespace {

// Replacing a file that another program holds open fails as access denied.
// Opening it for deletion, as the move does, tells that case apart: then it
// is a sharing violation.
SaveError InUseOr(const SaveError& failure, const std::wstring& target) {
    if (failure.code != XlsError::PermissionDenied) {
        return failure;
    }
    const HANDLE file =
        CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return failure;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION ? SystemError(ERROR_SHARING_VIOLATION)
                                                     : failure;
}

// Writes every byte into the file and flushes it to the disk; a write that
// takes fewer bytes than asked for means the disk is full.
bool WriteAll(HANDLE file, const std::string& bytes, SaveError& error) {
    for (std::size_t done = 0; done < bytes.size();) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) {
            Record(error, LastSystemError());
            return false;
        }
        if (written != chunk) {
            Record(error, SystemError(ERROR_DISK_FULL));
            return false;
        }
        done += written;
    }
    if (!FlushFileBuffers(file)) {
        Record(error, LastSystemError());
        return false;
    }
    return true;
}

// Fills the empty file `path` with `bytes`.
bool WriteNewFile(const std::wstring& path, const std::string& bytes, SaveError& error) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Record(error, LastSystemError());
        return false;
    }
    bool written = WriteAll(file, bytes, error);
    if (!CloseHandle(file)) {
        Record(error, LastSystemError());
        written = false;
    }
    return written;
}

}  // namespace

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return L".";
    }
    return path.substr(0, slash + 1);
}

std::wstring CreateTempFile(const std::wstring& folder, SaveError& error) {
    std::vector<wchar_t> name(MAX_PATH + 1);
    if (GetTempFileNameW(folder.c_str(), L"vtx", 0, name.data()) == 0) {
        Record(error, LastSystemError());
        return std::wstring();
    }
    return std::wstring(name.data());
}

bool FlushToDisk(const std::wstring& path, SaveError& error) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Record(error, LastSystemError());
        return false;
    }
    const bool flushed = FlushFileBuffers(file) != 0;
    if (!flushed) {
        Record(error, LastSystemError());
    }
    CloseHandle(file);
    return flushed;
}

bool MoveOverTarget(const std::wstring& temp, const std::wstring& target, SaveError& error) {
    if (MoveFileExW(temp.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        Record(error, InUseOr(LastSystemError(), target));
        return false;
    }
    return true;
}

bool WriteFileAtomically(const std::filesystem::path& target, const std::string& bytes,
                         SaveError& error) {
    const std::wstring temporary = CreateTempFile(FolderOf(target.wstring()), error);
    if (temporary.empty()) {
        return false;
    }
    const bool saved =
        WriteNewFile(temporary, bytes, error) && MoveOverTarget(temporary, target.wstring(), error);
    if (!saved) {
        DeleteFileW(temporary.c_str());
    }
    return saved;
}

}  // namespace xls

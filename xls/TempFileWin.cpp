#include <windows.h>

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

bool MoveOverTarget(const std::wstring& temp, const std::wstring& target, SaveError& error) {
    if (MoveFileExW(temp.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        Record(error, InUseOr(LastSystemError(), target));
        return false;
    }
    return true;
}

}  // namespace xls

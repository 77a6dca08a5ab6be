#include "xls/XlsError.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>
#else
#include <cerrno>
#include <system_error>
#endif

namespace xls {

namespace {

#ifdef _WIN32

// ERROR_DISK_QUOTA_EXCEEDED, which MinGW-w64's headers lack.
constexpr unsigned long kDiskQuotaExceeded = 1295;

// The system error code an HRESULT of the Win32 or storage facility carries
// in its low word (STG_E_ACCESSDENIED holds ERROR_ACCESS_DENIED,
// STG_E_MEDIUMFULL ERROR_DISK_FULL, ...); any other code as it is.
unsigned long Win32Code(long systemCode) {
    const auto value = static_cast<unsigned long>(systemCode);
    const unsigned long facility = (value >> 16) & 0x1FFF;
    const unsigned long low = value & 0xFFFF;
    const bool failure = (value & 0x80000000UL) != 0;
    if (failure && (facility == FACILITY_WIN32 || (facility == FACILITY_STORAGE && low < 0x100))) {
        return low;
    }
    return value;
}

XlsError Classify(long systemCode) {
    switch (Win32Code(systemCode)) {
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_DIRECTORY:
            return XlsError::FolderMissing;
        case ERROR_ACCESS_DENIED:
            return XlsError::PermissionDenied;
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_DISK_FULL:
        case kDiskQuotaExceeded:
            return XlsError::DiskFull;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return XlsError::FileInUse;
        default:
            return XlsError::Other;
    }
}

std::string ToUtf8(const wchar_t* text, int length) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

// The system's message for the code; empty when it has none.
std::string MessageOf(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length > 0 ? ToUtf8(buffer, static_cast<int>(length)) : std::string();
    LocalFree(buffer);
    return text;
}

// FormatMessage, for the HRESULT itself or else the system error code in it.
std::string SystemText(long systemCode) {
    std::string text = MessageOf(static_cast<unsigned long>(systemCode));
    if (text.empty()) {
        text = MessageOf(Win32Code(systemCode));
    }
    if (text.empty()) {
        char number[32];
        std::snprintf(number, sizeof number, "error 0x%08lX",
                      static_cast<unsigned long>(systemCode));
        text = number;
    }
    return text;
}

#else

XlsError Classify(long systemCode) {
    switch (systemCode) {
        case ENOENT:
        case ENOTDIR:
            return XlsError::FolderMissing;
        case EACCES:
        case EPERM:
            return XlsError::PermissionDenied;
        case ENOSPC:
        case EDQUOT:
            return XlsError::DiskFull;
        default:
            return XlsError::Other;
    }
}

// strerror's text.
std::string SystemText(long systemCode) {
    return std::generic_category().message(static_cast<int>(systemCode));
}

#endif

// The system's sentence as a phrase like the others: no line end, no stop.
std::string AsPhrase(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                             text.back() == '.')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

SaveError SystemError(long systemCode) {
    return SaveError{Classify(systemCode), systemCode};
}

void Record(SaveError& error, const SaveError& failure) {
    if (error.code == XlsError::Ok) {
        error = failure;
    }
}

#ifdef _WIN32

SaveError LastSystemError() {
    return SystemError(static_cast<long>(GetLastError()));
}

SaveError InvalidRequest() {
    return SystemError(ERROR_INVALID_PARAMETER);
}

SaveError TooLarge() {
    return SystemError(ERROR_FILE_TOO_LARGE);
}

#else

SaveError LastSystemError() {
    return SystemError(errno);
}

SaveError InvalidRequest() {
    return SystemError(EINVAL);
}

SaveError TooLarge() {
    return SystemError(EFBIG);
}

#endif

std::string SaveErrorText(const SaveError& error) {
    switch (error.code) {
        case XlsError::Ok:
            return std::string();
        case XlsError::FolderMissing:
            return "the folder does not exist";
        case XlsError::PermissionDenied:
            return "permission denied";
        case XlsError::DiskFull:
            return "the disk is full";
        case XlsError::FileInUse:
            return "the file is in use by another program";
        case XlsError::Other:
            break;
    }
    return AsPhrase(SystemText(error.systemCode));
}

}  // namespace xls

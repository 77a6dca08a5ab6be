// Why a save failed: the few reasons the user is told in words, and the
// system's own error code behind each of them.
#pragma once

#include <string>

namespace xls {

enum class XlsError {
    Ok,
    FolderMissing,     // the target's folder does not exist
    PermissionDenied,  // the folder or the file may not be written
    DiskFull,          // no room left on the disk (or in the user's quota)
    FileInUse,         // another program holds the file open (Windows)
    Other,             // anything else; the system's text tells what
};

// A failed save as the system reported it. `systemCode` is an errno value on
// POSIX systems; on Windows a system error code (GetLastError) or an HRESULT.
// A request the writer refuses by itself carries the code the system gives
// for the like: an invalid argument, or a file too large.
struct SaveError {
    XlsError code = XlsError::Ok;
    long systemCode = 0;
};

// The reason for a system error code.
SaveError SystemError(long systemCode);
// The reason for the error the last failed system call left (errno, or
// GetLastError on Windows).
SaveError LastSystemError();
// A path, document or argument that cannot be saved as given.
SaveError InvalidRequest();
// A stream or file larger than the compound file or the system takes.
SaveError TooLarge();

// Records `failure` in `error` unless that holds an earlier failure, which
// is then the cause of both.
void Record(SaveError& error, const SaveError& failure);

// The reason in words for the user, UTF-8: "the disk is full", ..., or the
// system's own text for Other. Empty for Ok.
std::string SaveErrorText(const SaveError& error);

}  // namespace xls

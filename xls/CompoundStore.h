#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "xls/XlsError.h"

// The compound document (structured storage) that holds a workbook's
// "Workbook" stream. Each platform has its own backend: the system's
// structured-storage service on Windows, libgsf elsewhere.
//
// A save never destroys an existing file: Create opens a temporary compound
// file next to the target, and only Commit, once every byte is in it, renames
// it over the target. Close without a successful Commit removes the temporary
// file and leaves the target as it was.
//
// Typical use: Create -> CreateStream -> WriteStream -> Commit -> Close.
class CompoundStore {
public:
    // The longest stream the file may hold. A compound file with 512-byte
    // sectors must stay within 2 GiB; its header, directory and allocation
    // tables take less than 1/64 of that, the stream the rest.
    static constexpr uint64_t kMaxStreamSize = (uint64_t{1} << 31) / 64 * 63;

    CompoundStore();
    ~CompoundStore();
    CompoundStore(const CompoundStore&) = delete;
    CompoundStore& operator=(const CompoundStore&) = delete;

    // Opens a new, empty compound file that will become `path` on Commit.
    // An open store is closed first (its save abandoned). False when the
    // temporary file cannot be created, e.g. because the folder is missing;
    // then nothing is created and the store stays closed.
    bool Create(const std::u16string& path);

    // Creates an empty stream; `name` is 8-bit text (each byte one character).
    // 1 on success, -1 on failure.
    int CreateStream(const std::string& name);

    // Writes `count` bytes as the content of the stream `name`, which
    // CreateStream made. 1 on success, -1 on failure (no such stream, more
    // than kMaxStreamSize bytes, or the write failed).
    int WriteStream(const std::string& name, const unsigned char* data, size_t count);

    // Finishes the compound file (late errors such as a full disk show here)
    // and renames it over the target. False on any failure, also when an
    // earlier CreateStream or WriteStream failed; the target is then
    // untouched and the temporary file removed. The store is closed
    // afterwards in both cases.
    bool Commit();

    // Releases the compound file. Without a successful Commit the temporary
    // file is removed. Harmless when nothing is open.
    void Close();

    bool IsOpen() const;

    // Why the save failed: the first failure since Create, kept after Commit
    // and Close; Ok while none has.
    const xls::SaveError& LastError() const { return error_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    xls::SaveError error_;
};

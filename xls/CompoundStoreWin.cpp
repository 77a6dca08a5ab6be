// CompoundStore on Windows structured storage: StgCreateDocfile writes the
// compound file in direct mode into a temporary file in the target's folder,
// which Commit flushes and moves over the target.

#include <objbase.h>
#include <windows.h>

#include <vector>

#include "xls/CompoundStore.h"

namespace {

// STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, direct mode.
constexpr DWORD kCreateMode = 0x1012;
// STGM_SHARE_EXCLUSIVE | STGM_READWRITE.
constexpr DWORD kOpenMode = 0x0012;

// Stream names are 8-bit text; each byte becomes one UTF-16 character.
std::wstring Widen(const std::string& name) {
    std::wstring wide;
    for (unsigned char c : name) {
        wide += static_cast<wchar_t>(c);
    }
    return wide;
}

// The folder part of a path, or "." for a bare file name.
std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return L".";
    }
    return path.substr(0, slash + 1);
}

// Creates an empty file with an unused name in `folder` and returns its path;
// empty when the folder cannot take it (e.g. it does not exist).
std::wstring CreateTempFile(const std::wstring& folder) {
    std::vector<wchar_t> name(MAX_PATH + 1);
    if (GetTempFileNameW(folder.c_str(), L"vtx", 0, name.data()) == 0) {
        return std::wstring();
    }
    return std::wstring(name.data());
}

}  // namespace

struct CompoundStore::Impl {
    std::wstring target;
    std::wstring temp;
    IStorage* storage = nullptr;
    bool failed = false;

    // Releases the storage, which finishes the file; removes the temporary
    // file unless it has been moved over the target.
    ~Impl() {
        if (storage != nullptr) {
            storage->Release();
        }
        if (!temp.empty()) {
            DeleteFileW(temp.c_str());
        }
    }
};

CompoundStore::CompoundStore() = default;

CompoundStore::~CompoundStore() {
    Close();
}

bool CompoundStore::Create(const std::u16string& path) {
    Close();
    if (path.empty() || path.find(u'\0') != std::u16string::npos) {
        return false;
    }
    auto impl = std::make_unique<Impl>();
    impl->target.assign(path.begin(), path.end());
    impl->temp = CreateTempFile(FolderOf(impl->target));
    if (impl->temp.empty()) {
        return false;
    }
    if (FAILED(StgCreateDocfile(impl->temp.c_str(), kCreateMode, 0, &impl->storage))) {
        impl->storage = nullptr;
        return false;
    }
    impl_ = std::move(impl);
    return true;
}

int CompoundStore::CreateStream(const std::string& name) {
    if (!impl_) {
        return -1;
    }
    IStream* stream = nullptr;
    if (FAILED(impl_->storage->CreateStream(Widen(name).c_str(), kCreateMode, 0, 0, &stream))) {
        impl_->failed = true;
        return -1;
    }
    stream->Release();
    return 1;
}

int CompoundStore::WriteStream(const std::string& name, const unsigned char* data, size_t count) {
    if (!impl_) {
        return -1;
    }
    // No file holds more; IStream::Write takes a 32-bit count in any case.
    if (count > kMaxStreamSize || (data == nullptr && count > 0)) {
        impl_->failed = true;
        return -1;
    }
    IStream* stream = nullptr;
    if (FAILED(impl_->storage->OpenStream(Widen(name).c_str(), nullptr, kOpenMode, 0, &stream))) {
        impl_->failed = true;
        return -1;
    }
    // A short write leaves the stream incomplete and fails like an error.
    ULONG written = 0;
    const HRESULT hr = stream->Write(data, static_cast<ULONG>(count), &written);
    stream->Release();
    if (FAILED(hr) || written != count) {
        impl_->failed = true;
        return -1;
    }
    return 1;
}

bool CompoundStore::Commit() {
    if (!impl_) {
        return false;
    }
    // In direct mode Commit only flushes the storage's buffers, which makes a
    // late write error (a full disk) visible before the file is released.
    bool ok = !impl_->failed && SUCCEEDED(impl_->storage->Commit(STGC_DEFAULT));
    impl_->storage->Release();
    impl_->storage = nullptr;
    ok = ok && MoveFileExW(impl_->temp.c_str(), impl_->target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (ok) {
        impl_->temp.clear();
    }
    impl_.reset();
    return ok;
}

void CompoundStore::Close() {
    impl_.reset();
}

bool CompoundStore::IsOpen() const {
    return impl_ != nullptr;
}

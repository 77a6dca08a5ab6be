// CompoundStore on Windows structured storage: StgCreateDocfile writes the
// compound file in direct mode into a temporary file in the target's folder,
// which Commit flushes and moves over the target.

#include <objbase.h>
#include <windows.h>

#include "xls/CompoundStore.h"
#include "xls/TempFile.h"

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

}  // namespace

struct CompoundStore::Impl {
    std::wstring target;
    std::wstring temp;
    IStorage* storage = nullptr;

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
    error_ = xls::SaveError();
    if (path.empty() || path.find(u'\0') != std::u16string::npos) {
        xls::Record(error_, xls::InvalidRequest());
        return false;
    }
    auto impl = std::make_unique<Impl>();
    impl->target.assign(path.begin(), path.end());
    impl->temp = xls::CreateTempFile(xls::FolderOf(impl->target), error_);
    if (impl->temp.empty()) {
        return false;
    }
    const HRESULT hr = StgCreateDocfile(impl->temp.c_str(), kCreateMode, 0, &impl->storage);
    if (FAILED(hr)) {
        impl->storage = nullptr;
        xls::Record(error_, xls::SystemError(hr));
        return false;
    }
    impl_ = std::move(impl);
    return true;
}

int CompoundStore::CreateStream(const std::string& name) {
    if (!impl_) {
        xls::Record(error_, xls::InvalidRequest());
        return -1;
    }
    IStream* stream = nullptr;
    const HRESULT hr =
        impl_->storage->CreateStream(Widen(name).c_str(), kCreateMode, 0, 0, &stream);
    if (FAILED(hr)) {
        xls::Record(error_, xls::SystemError(hr));
        return -1;
    }
    stream->Release();
    return 1;
}

int CompoundStore::WriteStream(const std::string& name, const unsigned char* data, size_t count) {
    if (!impl_ || (data == nullptr && count > 0)) {
        xls::Record(error_, xls::InvalidRequest());
        return -1;
    }
    // No file holds more; IStream::Write takes a 32-bit count in any case.
    if (count > kMaxStreamSize) {
        xls::Record(error_, xls::TooLarge());
        return -1;
    }
    IStream* stream = nullptr;
    HRESULT hr = impl_->storage->OpenStream(Widen(name).c_str(), nullptr, kOpenMode, 0, &stream);
    if (FAILED(hr)) {
        xls::Record(error_, xls::SystemError(hr));
        return -1;
    }
    // A short write leaves the stream incomplete: the medium took no more.
    ULONG written = 0;
    hr = stream->Write(data, static_cast<ULONG>(count), &written);
    stream->Release();
    if (SUCCEEDED(hr) && written != count) {
        hr = STG_E_MEDIUMFULL;
    }
    if (FAILED(hr)) {
        xls::Record(error_, xls::SystemError(hr));
        return -1;
    }
    return 1;
}

bool CompoundStore::Commit() {
    if (!impl_) {
        xls::Record(error_, xls::InvalidRequest());
        return false;
    }
    // In direct mode Commit only flushes the storage's buffers, which makes a
    // late write error (a full disk) visible before the file is released.
    const HRESULT hr = impl_->storage->Commit(STGC_DEFAULT);
    if (FAILED(hr)) {
        xls::Record(error_, xls::SystemError(hr));
    }
    impl_->storage->Release();
    impl_->storage = nullptr;
    const bool ok = error_.code == xls::XlsError::Ok && xls::FlushToDisk(impl_->temp, error_) &&
                    xls::MoveOverTarget(impl_->temp, impl_->target, error_);
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

// CompoundStore on libgsf: the compound file is written by GsfOutfileMSOle
// into a temporary file of our own in the target's folder, which Commit
// flushes to disk and renames over the target.

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-output.h>
#include <gsf/gsf-utils.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "xls/CompoundStore.h"
#include "xls/TempFile.h"

namespace {

// A compound-file directory entry holds a name of at most 31 characters.
constexpr size_t kMaxStreamName = 31;

void InitGsfOnce() {
    static const bool initialised = [] {
        gsf_init();
        return true;
    }();
    (void)initialised;
}

void AppendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16 file name to the UTF-8 the file system takes. False for an empty
// name, an embedded NUL or an unpaired surrogate, none of which names a file.
bool PathToUtf8(const std::u16string& in, std::string& out) {
    out.clear();
    for (size_t i = 0; i < in.size(); ++i) {
        char32_t c = in[i];
        if (c == 0 || (c >= 0xDC00 && c <= 0xDFFF)) {
            return false;
        }
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 == in.size() || in[i + 1] < 0xDC00 || in[i + 1] > 0xDFFF) {
                return false;
            }
            c = 0x10000 + ((c - 0xD800) << 10) + (in[++i] - 0xDC00);
        }
        AppendUtf8(c, out);
    }
    return !out.empty();
}

// Stream names are 8-bit text, one character per byte; libgsf takes UTF-8.
std::string StreamNameToUtf8(const std::string& name) {
    std::string out;
    for (unsigned char c : name) {
        AppendUtf8(c, out);
    }
    return out;
}

bool CloseOutput(GsfOutput* output) {
    if (gsf_output_is_closed(output)) {
        return gsf_output_error(output) == nullptr;
    }
    return gsf_output_close(output) && gsf_output_error(output) == nullptr;
}

// libgsf's stdio output keeps the errno of a failed write as its error
// code; a failure it reports without one is an I/O error.
xls::SaveError OutputError(GsfOutput* sink) {
    const GError* error = sink != nullptr ? gsf_output_error(sink) : nullptr;
    return xls::SystemError(error != nullptr && error->code != 0 ? error->code : EIO);
}

struct Stream {
    std::string name;
    GsfOutput* output;
    bool written;
};

}  // namespace

struct CompoundStore::Impl {
    std::string target;
    std::string temp;
    FILE* file = nullptr;
    GsfOutput* sink = nullptr;
    GsfOutfile* outfile = nullptr;
    std::vector<Stream> streams;

    Stream* Find(const std::string& name) {
        for (Stream& stream : streams) {
            if (stream.name == name) {
                return &stream;
            }
        }
        return nullptr;
    }

    // Finishes every stream, the directory and the file; false on any error,
    // also one recorded in `error` before.
    bool Finish(xls::SaveError& error) {
        bool closed = true;
        for (Stream& stream : streams) {
            closed = CloseOutput(stream.output) && closed;
        }
        closed = CloseOutput(GSF_OUTPUT(outfile)) && closed;
        closed = CloseOutput(sink) && closed;
        if (!closed) {
            xls::Record(error, OutputError(sink));
        }
        const bool synced = xls::SyncAndClose(file, error);
        file = nullptr;
        return synced && error.code == xls::XlsError::Ok;
    }

    // Drops the libgsf objects (closing what is still open) and the file;
    // removes the temporary file unless it has been renamed.
    ~Impl() {
        for (Stream& stream : streams) {
            CloseOutput(stream.output);
            g_object_unref(stream.output);
        }
        if (outfile != nullptr) {
            CloseOutput(GSF_OUTPUT(outfile));
            g_object_unref(outfile);
        }
        if (sink != nullptr) {
            CloseOutput(sink);
            g_object_unref(sink);
        }
        if (file != nullptr) {
            std::fclose(file);
        }
        if (!temp.empty()) {
            unlink(temp.c_str());
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
    InitGsfOnce();
    auto impl = std::make_unique<Impl>();
    if (!PathToUtf8(path, impl->target)) {
        xls::Record(error_, xls::InvalidRequest());
        return false;
    }
    impl->file = xls::CreateTempFile(xls::FolderOf(impl->target), impl->temp, error_);
    if (impl->file == nullptr) {
        return false;
    }
    impl->sink = gsf_output_stdio_new_FILE(impl->temp.c_str(), impl->file, TRUE);
    if (impl->sink != nullptr) {
        impl->outfile = gsf_outfile_msole_new(impl->sink);
    }
    if (impl->outfile == nullptr) {
        xls::Record(error_, OutputError(impl->sink));
        return false;
    }
    impl_ = std::move(impl);
    return true;
}

int CompoundStore::CreateStream(const std::string& name) {
    const std::string utf8 = StreamNameToUtf8(name);
    // libgsf can neither replace an entry nor hold two of the same name.
    if (!impl_ || name.empty() || name.size() > kMaxStreamName || impl_->Find(utf8) != nullptr) {
        xls::Record(error_, xls::InvalidRequest());
        return -1;
    }
    GsfOutput* output = gsf_outfile_new_child(impl_->outfile, utf8.c_str(), FALSE);
    if (output == nullptr) {
        xls::Record(error_, OutputError(impl_->sink));
        return -1;
    }
    impl_->streams.push_back(Stream{utf8, output, false});
    return 1;
}

int CompoundStore::WriteStream(const std::string& name, const unsigned char* data, size_t count) {
    // A libgsf stream is written once, front to back; it cannot be rewound
    // for a second content.
    Stream* stream = impl_ ? impl_->Find(StreamNameToUtf8(name)) : nullptr;
    if (stream == nullptr || stream->written || (data == nullptr && count > 0)) {
        xls::Record(error_, xls::InvalidRequest());
        return -1;
    }
    if (count > kMaxStreamSize) {
        xls::Record(error_, xls::TooLarge());
        return -1;
    }
    stream->written = true;
    if (count > 0 && !gsf_output_write(stream->output, count, data)) {
        xls::Record(error_, OutputError(impl_->sink));
        return -1;
    }
    return 1;
}

bool CompoundStore::Commit() {
    if (!impl_) {
        xls::Record(error_, xls::InvalidRequest());
        return false;
    }
    const bool ok =
        impl_->Finish(error_) && xls::MoveOverTarget(impl_->temp, impl_->target, error_);
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

// Why a failed export failed, for both file types, as saveRecordFile reports
// it and as the user reads it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>

#include "export/RecordFile.h"
#include "tests/FileSizeLimit.h"
#include "tests/MakeRecord.h"

namespace fs = std::filesystem;

// fsync as the writers call it (the program is linked with --wrap=fsync):
// fails as on a full disk while fsyncFails is set.
static bool fsyncFails = false;
extern "C" {
int __real_fsync(int fd);
int __wrap_fsync(int fd) {
    if (fsyncFails) {
        errno = ENOSPC;
        return -1;
    }
    return __real_fsync(fd);
}
}

namespace {

enum class Fault { MissingFolder, ReadOnlyFolder, FullDisk, SizeLimit, FolderInThePlace };

struct Case {
    const char* name;
    Fault fault;
    xls::XlsError code;
    long systemCode;
    const char* text;
};

const Case kCases[] = {
    {"MissingFolder", Fault::MissingFolder, xls::XlsError::FolderMissing, ENOENT,
     "the folder does not exist"},
    {"ReadOnlyFolder", Fault::ReadOnlyFolder, xls::XlsError::PermissionDenied, EACCES,
     "permission denied"},
    {"FullDisk", Fault::FullDisk, xls::XlsError::DiskFull, ENOSPC, "the disk is full"},
    // The process may write no more: the disk is not full, so the system says what happened.
    {"SizeLimit", Fault::SizeLimit, xls::XlsError::Other, EFBIG, "File too large"},
    {"FolderInThePlace", Fault::FolderInThePlace, xls::XlsError::Other, EISDIR, "Is a directory"},
};

// Root passes every permission check; while this lives, the effective user
// is nobody instead, when it may be switched.
class Unprivileged {
public:
    Unprivileged() : switched_(::geteuid() == 0 && ::seteuid(65534) == 0) {}
    ~Unprivileged() {
        if (switched_) {
            EXPECT_EQ(::seteuid(0), 0);
        }
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

private:
    bool switched_;
};

class SaveErrorTest : public ::testing::TestWithParam<std::tuple<Case, const char*>> {
protected:
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    // The target `name` with the fault set up for it.
    fs::path targetWith(Fault fault, const std::string& name) const {
        switch (fault) {
            case Fault::MissingFolder:
                return dir / "missing" / name;
            case Fault::ReadOnlyFolder:
                fs::create_directory(dir / "locked");
                fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec |
                                                    fs::perms::others_exec);
                return dir / "locked" / name;
            case Fault::FolderInThePlace:
                fs::create_directory(dir / name);
                return dir / name;
            default:
                return dir / name;
        }
    }

    const fs::path dir =
        fs::temp_directory_path() / ("ventrix-save-error-" + std::to_string(::getpid()));
};

TEST_P(SaveErrorTest, ReasonComesFromWhereTheSaveFailed) {
    const auto& [c, suffix] = GetParam();
    const fs::path target = targetWith(c.fault, std::string("records.") + suffix);
    const RecordStore records(5000, makeRecord("2024-01-02 03:04:05", 42));
    xls::SaveError error;
    {
        std::optional<Unprivileged> user;
        if (c.fault == Fault::ReadOnlyFolder) {
            user.emplace();
            if (::geteuid() == 0)
                GTEST_SKIP() << "root, and the user cannot be switched";
        }
        std::optional<FileSizeLimit> limit;
        if (c.fault == Fault::SizeLimit)
            limit.emplace(4096);
        fsyncFails = c.fault == Fault::FullDisk;
        EXPECT_FALSE(saveRecordFile(records, target.u16string(), 0, &error));
        fsyncFails = false;
    }
    EXPECT_EQ(error.code, c.code);
    EXPECT_EQ(error.systemCode, c.systemCode);
    EXPECT_EQ(xls::SaveErrorText(error), c.text);
}

INSTANTIATE_TEST_SUITE_P(Faults, SaveErrorTest,
                         ::testing::Combine(::testing::ValuesIn(kCases),
                                            ::testing::Values("xls", "csv")),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param);
                         });

}  // namespace

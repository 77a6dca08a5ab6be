#include "xls/CompoundStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

// Bytes that differ from one sector to the next, so a misplaced sector shows.
Bytes Pattern(size_t count) {
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<unsigned char>(i * 7 + i / 509);
    }
    return bytes;
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::u16string> Entries(const fs::path& dir) {
    std::vector<std::u16string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().u16string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string CurrentTestName() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// The whole save as the workbook writer does it.
bool SaveWorkbook(const fs::path& target, const Bytes& bytes) {
    CompoundStore store;
    return store.Create(target.u16string()) && store.CreateStream("Workbook") == 1 &&
           store.WriteStream("Workbook", bytes.data(), bytes.size()) == 1 && store.Commit();
}

// Expects `file` to be a compound file with exactly one stream "Workbook"
// holding `bytes`, read back with olefile. Under Wine, where no Linux
// program can be started, the file and its reference bytes are left in
// VENTRIX_DEFERRED_CHECK_DIR for scripts/check-windows-output instead.
void ExpectWorkbookStream(const fs::path& file, const Bytes& bytes) {
    const fs::path reference = fs::path(file.u16string() + u".expected");
    if (const char* deferred = std::getenv("VENTRIX_DEFERRED_CHECK_DIR")) {
        const fs::path dir = fs::path(deferred) / CurrentTestName();
        fs::create_directories(dir);
        fs::copy_file(file, dir / file.filename(), fs::copy_options::overwrite_existing);
        WriteFile(dir / reference.filename(), bytes);
        return;
    }
    const char* python = std::getenv("VENTRIX_PYTHON");
    WriteFile(reference, bytes);
    const std::string command = Quoted(python != nullptr ? python : "/usr/bin/python3") + " " +
                                Quoted(VENTRIX_CHECK_COMPOUND_FILE) + " " + Quoted(file.string()) +
                                " " + Quoted(reference.string());
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    fs::remove(reference);
}

class CompoundStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        dir_ = fs::temp_directory_path() /
               ("ventrix-store-" + CurrentTestName() + "-" + std::to_string(random()));
        fs::create_directories(dir_);
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    fs::path dir_;
};

TEST_F(CompoundStoreTest, SmallStreamReplacesExistingFile) {
    const fs::path target = dir_ / "small.xls";
    WriteFile(target, Bytes(100, 'x'));
    const Bytes bytes = Pattern(786);

    ASSERT_TRUE(SaveWorkbook(target, bytes));

    EXPECT_EQ(Entries(dir_), std::vector<std::u16string>{u"small.xls"});
    ExpectWorkbookStream(target, bytes);
}

TEST_F(CompoundStoreTest, LargeStreamReadsBack) {
    const fs::path target = dir_ / "large.xls";
    const Bytes bytes = Pattern(1536 * 1024 + 3);

    ASSERT_TRUE(SaveWorkbook(target, bytes));

    ExpectWorkbookStream(target, bytes);
}

TEST_F(CompoundStoreTest, NonAsciiFileName) {
    const std::u16string name = u"Messwerte-\u00fc-\u65e5.xls";
    const Bytes bytes = Pattern(5000);

    ASSERT_TRUE(SaveWorkbook(dir_ / name, bytes));

    EXPECT_EQ(Entries(dir_), std::vector<std::u16string>{name});
    ExpectWorkbookStream(dir_ / name, bytes);
}

TEST_F(CompoundStoreTest, MissingFolderFailsAndCreatesNothing) {
    CompoundStore store;

    EXPECT_FALSE(store.Create((dir_ / "missing" / "out.xls").u16string()));
    EXPECT_FALSE(store.IsOpen());
    EXPECT_TRUE(Entries(dir_).empty());
}

TEST_F(CompoundStoreTest, UnusablePathsFail) {
    CompoundStore store;

    EXPECT_FALSE(store.Create(u""));
    EXPECT_FALSE(store.Create((dir_ / "a").u16string() + std::u16string(1, u'\0') + u"b.xls"));
    EXPECT_FALSE(store.IsOpen());
    EXPECT_TRUE(Entries(dir_).empty());
}

TEST_F(CompoundStoreTest, AbandonedSaveKeepsExistingFile) {
    const fs::path target = dir_ / "kept.xls";
    const Bytes original = Pattern(3000);
    WriteFile(target, original);
    const Bytes bytes = Pattern(9000);

    {
        CompoundStore store;
        ASSERT_TRUE(store.Create(target.u16string()));
        ASSERT_EQ(store.CreateStream("Workbook"), 1);
        ASSERT_EQ(store.WriteStream("Workbook", bytes.data(), bytes.size()), 1);
        store.Close();
        EXPECT_FALSE(store.IsOpen());
        EXPECT_EQ(Entries(dir_), std::vector<std::u16string>{u"kept.xls"});
        store.Close();
    }
    {
        // The destructor abandons an unfinished save the same way.
        CompoundStore store;
        ASSERT_TRUE(store.Create(target.u16string()));
        ASSERT_EQ(store.CreateStream("Workbook"), 1);
    }

    EXPECT_EQ(ReadFile(target), original);
    EXPECT_EQ(Entries(dir_), std::vector<std::u16string>{u"kept.xls"});
}

TEST_F(CompoundStoreTest, FailedCommitLeavesTargetAndNoTemporaryFile) {
    // A non-empty folder in the target's place cannot be replaced by a file.
    const fs::path target = dir_ / "taken.xls";
    fs::create_directory(target);
    const Bytes inner = Pattern(10);
    WriteFile(target / "inner", inner);
    const Bytes bytes = Pattern(2000);
    CompoundStore store;
    ASSERT_TRUE(store.Create(target.u16string()));
    ASSERT_EQ(store.CreateStream("Workbook"), 1);
    ASSERT_EQ(store.WriteStream("Workbook", bytes.data(), bytes.size()), 1);

    EXPECT_FALSE(store.Commit());

    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(Entries(dir_), std::vector<std::u16string>{u"taken.xls"});
    EXPECT_EQ(Entries(target), std::vector<std::u16string>{u"inner"});
    EXPECT_EQ(ReadFile(target / "inner"), inner);
}

TEST_F(CompoundStoreTest, FailedStreamOperationBlocksCommit) {
    const fs::path target = dir_ / "kept.xls";
    const Bytes original = Pattern(700);
    WriteFile(target, original);
    const Bytes bytes = Pattern(700);
    CompoundStore store;
    ASSERT_TRUE(store.Create(target.u16string()));
    ASSERT_EQ(store.CreateStream("Workbook"), 1);

    EXPECT_EQ(store.WriteStream("Other", bytes.data(), bytes.size()), -1);
    EXPECT_FALSE(store.Commit());

    EXPECT_EQ(ReadFile(target), original);
    EXPECT_EQ(Entries(dir_), std::vector<std::u16string>{u"kept.xls"});
}

TEST_F(CompoundStoreTest, ClosedStoreRefusesEveryOperation) {
    const Bytes bytes = Pattern(10);
    CompoundStore store;
    store.Close();
    store.Close();

    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(store.CreateStream("Workbook"), -1);
    EXPECT_EQ(store.WriteStream("Workbook", bytes.data(), bytes.size()), -1);
    EXPECT_FALSE(store.Commit());

    ASSERT_TRUE(store.Create((dir_ / "once.xls").u16string()));
    ASSERT_EQ(store.CreateStream("Workbook"), 1);
    ASSERT_EQ(store.WriteStream("Workbook", bytes.data(), bytes.size()), 1);
    ASSERT_TRUE(store.Commit());
    EXPECT_FALSE(store.IsOpen());
    EXPECT_FALSE(store.Commit());
    store.Close();
    EXPECT_EQ(Entries(dir_), std::vector<std::u16string>{u"once.xls"});
}

TEST_F(CompoundStoreTest, SecondCreateAbandonsTheFirstSave) {
    const Bytes bytes = Pattern(1200);
    CompoundStore store;
    ASSERT_TRUE(store.Create((dir_ / "first.xls").u16string()));
    ASSERT_EQ(store.CreateStream("Workbook"), 1);

    ASSERT_TRUE(store.Create((dir_ / "second.xls").u16string()));
    ASSERT_EQ(store.CreateStream("Workbook"), 1);
    ASSERT_EQ(store.WriteStream("Workbook", bytes.data(), bytes.size()), 1);
    ASSERT_TRUE(store.Commit());

    EXPECT_EQ(Entries(dir_), std::vector<std::u16string>{u"second.xls"});
    ExpectWorkbookStream(dir_ / "second.xls", bytes);
}

}  // namespace

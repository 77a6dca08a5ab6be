#include "export/CsvExport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "export/RecordFile.h"
#include "tests/FileSizeLimit.h"

namespace fs = std::filesystem;

namespace {

DetectorRecord makeRecord(const char* time, int value) {
    DetectorRecord record{};
    std::snprintf(record.timeText, sizeof record.timeText, "%s", time);
    record.value = value;
    return record;
}

const RecordStore kRecords = {makeRecord("2024-01-02 03:04:05", 250),
                              makeRecord("2024-01-02 03:04:06", 500),
                              makeRecord("2024-12-31 23:59:59", -1)};

std::string fileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t entriesIn(const fs::path& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

struct FieldCase {
    const char* text;
    const char* field;
};

class CsvFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(CsvFieldTest, QuotesOnlyWhatNeedsIt) {
    std::string out;
    appendCsvField(out, GetParam().text, std::string(GetParam().text).size());
    EXPECT_EQ(out, GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(Rfc4180, CsvFieldTest,
                         ::testing::Values(FieldCase{"%LEL.M", "%LEL.M"}, FieldCase{"", ""},
                                           FieldCase{"1,5", "\"1,5\""},
                                           FieldCase{"say \"hi\"", "\"say \"\"hi\"\"\""},
                                           FieldCase{"two\nlines", "\"two\nlines\""},
                                           FieldCase{"cr\r", "\"cr\r\""}));

TEST(CsvTextTest, HeaderAndLinesCarryTheWorkbookTexts) {
    EXPECT_EQ(csvText(kRecords, 0),
              "DateTime,PPM.M\r\n2024-01-02 03:04:05,250\r\n2024-01-02 03:04:06,500\r\n"
              "2024-12-31 23:59:59,-1\r\n");
    EXPECT_EQ(csvText(kRecords, 1),
              "DateTime,%LEL.M\r\n2024-01-02 03:04:05,0.5\r\n2024-01-02 03:04:06,1.0\r\n"
              "2024-12-31 23:59:59,-0.0\r\n");
    EXPECT_EQ(csvText(kRecords, 2),
              "DateTime,VOL.M\r\n2024-01-02 03:04:05,0.025\r\n2024-01-02 03:04:06,0.050\r\n"
              "2024-12-31 23:59:59,-0.000\r\n");
    EXPECT_EQ(csvText({}, 7), "DateTime,PPM.M\r\n");
}

struct NameCase {
    const char16_t* name;
    bool csv;
};

class CsvNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(CsvNameTest, CsvSuffixInAnyCase) {
    EXPECT_EQ(isCsvFileName(GetParam().name), GetParam().csv);
}

INSTANTIATE_TEST_SUITE_P(Names, CsvNameTest,
                         ::testing::Values(NameCase{u"a.csv", true}, NameCase{u"/d/A.CSV", true},
                                           NameCase{u"x.Csv", true}, NameCase{u".csv", true},
                                           NameCase{u"a.xls", false}, NameCase{u"csv", false},
                                           NameCase{u"a.csv.xls", false},
                                           NameCase{u"a.csvx", false}, NameCase{u"", false}));

class CsvFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("ventrix-csv-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir;
};

TEST_F(CsvFileTest, SuffixPicksTheWriterAndAnExistingFileIsReplaced) {
    const fs::path csv = dir / "records.CSV";
    const fs::path workbook = dir / "records.xls";
    std::ofstream(csv) << "an earlier export, longer than the new one\r\n";
    ASSERT_TRUE(saveRecordFile(kRecords, csv.u16string(), 1));
    ASSERT_TRUE(saveRecordFile(kRecords, workbook.u16string(), 1));
    EXPECT_EQ(fileBytes(csv), csvText(kRecords, 1));
    EXPECT_EQ(fileBytes(workbook).substr(0, 4), "\xD0\xCF\x11\xE0");
    EXPECT_EQ(entriesIn(dir), 2u);
}

// The file size limit stands in for a full disk.
TEST_F(CsvFileTest, FailedSaveKeepsTheEarlierFileAndLeavesNoTemporary) {
    const fs::path file = dir / "records.csv";
    std::ofstream(file) << "an earlier export";
    const RecordStore many(5000, makeRecord("2024-01-02 03:04:05", 42));
    bool saved = true;
    {
        const FileSizeLimit limit(4096);
        saved = exportCsv(many, file.u16string(), 0);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(fileBytes(file), "an earlier export");
    EXPECT_EQ(entriesIn(dir), 1u);
}

TEST_F(CsvFileTest, UnwritableTargetsFailAndCreateNothing) {
    fs::create_directory(dir / "folder");
    EXPECT_FALSE(exportCsv(kRecords, (dir / "missing" / "x.csv").u16string(), 0));
    EXPECT_FALSE(exportCsv(kRecords, (dir / "folder").u16string(), 0));
    EXPECT_FALSE(exportCsv(kRecords, u"", 0));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
    EXPECT_EQ(entriesIn(dir), 1u);
}

}  // namespace

#include "export/CsvExport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "export/RecordFile.h"
#include "tests/FileSizeLimit.h"
#include "tests/MakeRecord.h"

namespace fs = std::filesystem;

namespace {

const RecordStore kRecords = {makeRecord("2024-01-02 03:04:05", 250),
                              makeRecord("2024-01-02 03:04:06", 500),
                              makeRecord("2024-12-31 23:59:59", -1)};

std::string fileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CsvFieldTest : public ::testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(CsvFieldTest, QuotesOnlyWhatNeedsIt) {
    std::string out;
    appendCsvField(out, GetParam().first.c_str(), GetParam().first.size());
    EXPECT_EQ(out, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Rfc4180, CsvFieldTest,
                         ::testing::Values(std::pair("%LEL.M", "%LEL.M"), std::pair("", ""),
                                           std::pair("1,5", "\"1,5\""),
                                           std::pair("say \"hi\"", "\"say \"\"hi\"\"\""),
                                           std::pair("two\nlines", "\"two\nlines\""),
                                           std::pair("cr\r", "\"cr\r\"")));

TEST(CsvTextTest, HeaderAndLinesCarryTheWorkbookTexts) {
    EXPECT_EQ(csvText(kRecords, 0),
              "DateTime,PPM.M\r\n2024-01-02 03:04:05,250\r\n2024-01-02 03:04:06,500\r\n"
              "2024-12-31 23:59:59,-1\r\n");
    EXPECT_EQ(csvText(kRecords, 2),
              "DateTime,VOL.M\r\n2024-01-02 03:04:05,0.025\r\n2024-01-02 03:04:06,0.050\r\n"
              "2024-12-31 23:59:59,-0.000\r\n");
    EXPECT_EQ(csvText({}, 7), "DateTime,PPM.M\r\n");
}

class CsvNameTest : public ::testing::TestWithParam<std::pair<const char16_t*, bool>> {};

TEST_P(CsvNameTest, CsvSuffixInAnyCase) {
    EXPECT_EQ(isCsvFileName(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Names, CsvNameTest,
                         ::testing::Values(std::pair(u"/d/A.CSV", true), std::pair(u"x.Csv", true),
                                           std::pair(u"a.xls", false), std::pair(u"csv", false),
                                           std::pair(u"a.csv.xls", false),
                                           std::pair(u"a.csvx", false)));

class CsvFileTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::size_t entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }

    const fs::path dir = fs::temp_directory_path() / ("ventrix-csv-" + std::to_string(::getpid()));
};

TEST_F(CsvFileTest, SuffixPicksTheWriterAndAnExistingFileIsReplaced) {
    std::ofstream(dir / "records.CSV") << "an earlier export, longer than the new one\r\n";
    ASSERT_TRUE(saveRecordFile(kRecords, (dir / "records.CSV").u16string(), 1));
    ASSERT_TRUE(saveRecordFile(kRecords, (dir / "records.xls").u16string(), 1));
    EXPECT_EQ(fileBytes(dir / "records.CSV"), csvText(kRecords, 1));
    EXPECT_EQ(fileBytes(dir / "records.xls").substr(0, 4), "\xD0\xCF\x11\xE0");
    EXPECT_EQ(entries(), 2u);
}

// The file size limit stands in for a full disk.
TEST_F(CsvFileTest, FailedSaveKeepsTheEarlierFileAndLeavesNoTemporary) {
    std::ofstream(dir / "records.csv") << "an earlier export";
    bool saved = true;
    {
        const FileSizeLimit limit(4096);
        saved = exportCsv(RecordStore(5000, kRecords[0]), (dir / "records.csv").u16string(), 0);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(fileBytes(dir / "records.csv"), "an earlier export");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(CsvFileTest, UnwritableTargetsFailAndCreateNothing) {
    fs::create_directory(dir / "folder");
    EXPECT_FALSE(exportCsv(kRecords, (dir / "missing" / "x.csv").u16string(), 0));
    EXPECT_FALSE(exportCsv(kRecords, (dir / "folder").u16string(), 0));
    EXPECT_FALSE(exportCsv(kRecords, u"", 0));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
    EXPECT_EQ(entries(), 1u);
}

}  // namespace

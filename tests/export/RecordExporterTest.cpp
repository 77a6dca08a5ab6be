#include "export/RecordExporter.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/FileSizeLimit.h"
#include "tests/MakeRecord.h"
#include "tests/ValueTextCases.h"

namespace fs = std::filesystem;

namespace {

// What a reader sees in the file: the lines of dump_workbook.py.
std::vector<std::string> readBack(const fs::path& file) {
    const std::string command =
        "/usr/bin/python3 '" VENTRIX_DUMP_WORKBOOK "' '" + file.string() + "' 2>&1";
    std::vector<std::string> lines;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return lines;
    std::string text;
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0)
        text.append(chunk, n);
    pclose(pipe);
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string fileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class RecordExporterTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("ventrix-export-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::vector<std::string> exportAndRead(const RecordStore& records, int unit) {
        const fs::path file = dir / "records.xls";
        RecordExporter exporter;
        EXPECT_TRUE(exporter.exportRecords(records, file.u16string(), unit));
        return readBack(file);
    }

    fs::path dir;
};

const RecordStore kTwoRecords = {makeRecord("2024-01-02 03:04:05", 250),
                                 makeRecord("2024-01-02 03:04:06", 500)};

TEST(RecordExporterText, ValueTextPerUnit) {
    EXPECT_EQ(RecordExporter::valueText(250, 1), "0.5");
    EXPECT_EQ(RecordExporter::valueText(500, 1), "1.0");
    EXPECT_EQ(RecordExporter::valueText(250, 2), "0.025");
    EXPECT_EQ(RecordExporter::valueText(500, 2), "0.050");
    EXPECT_EQ(RecordExporter::valueText(250, 0), "250");
    EXPECT_EQ(RecordExporter::valueText(123, 7), "123");
    EXPECT_EQ(RecordExporter::valueText(-1, 0), "-1");
    EXPECT_EQ(RecordExporter::valueText(-250, 1), "-0.5");
    EXPECT_EQ(RecordExporter::valueText(-2147483647 - 1, 0), "-2147483648");
    EXPECT_EQ(RecordExporter::valueText(2147483647, 2), "214748.365");
}

TEST(RecordExporterText, UnitHeaders) {
    EXPECT_STREQ(RecordExporter::unitHeader(0), "PPM.M");
    EXPECT_STREQ(RecordExporter::unitHeader(1), "%LEL.M");
    EXPECT_STREQ(RecordExporter::unitHeader(2), "VOL.M");
    EXPECT_STREQ(RecordExporter::unitHeader(-1), "PPM.M");
}

TEST_F(RecordExporterTest, HeaderAndValuesInEachUnit) {
    struct Case {
        int unit;
        const char* header;
        const char* first;
        const char* second;
    };
    for (const Case& c : {Case{0, "PPM.M", "250", "500"}, Case{1, "%LEL.M", "0.5", "1.0"},
                          Case{2, "VOL.M", "0.025", "0.050"}}) {
        const std::vector<std::string> lines = exportAndRead(kTwoRecords, c.unit);
        ASSERT_GE(lines.size(), 7u) << "unit " << c.unit;
        EXPECT_EQ(lines[3], "sheet Sheet1 3");
        EXPECT_EQ(lines[4], std::string("t:DateTime\tt:") + c.header);
        EXPECT_EQ(lines[5], std::string("t:2024-01-02 03:04:05\tt:") + c.first);
        EXPECT_EQ(lines[6], std::string("t:2024-01-02 03:04:06\tt:") + c.second);
    }
}

// The workbook holds the log's value texts, also where the locale (which the
// application object takes from the environment) writes a decimal comma.
TEST_F(RecordExporterTest, ValueTextsMatchTheLogInADecimalCommaLocale) {
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/install-deps makes it";
    for (int unit : {1, 2}) {
        std::vector<std::string> expected;
        RecordStore records;
        for (const ValueTextCase& c : kValueTextCases) {
            if (c.unitIndex == unit) {
                records.push_back(makeRecord("2024-01-02 03:04:05", c.value));
                expected.push_back(std::string("t:2024-01-02 03:04:05\tt:") + c.text);
            }
        }
        const std::vector<std::string> lines = exportAndRead(records, unit);
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 5, lines.begin() + 5 + records.size()),
                  expected);
    }
    std::setlocale(LC_ALL, "C");
}

TEST_F(RecordExporterTest, NegativePpmValueAndStoreOrder) {
    const RecordStore records = {makeRecord("2024-03-01 00:00:09", -1),
                                 makeRecord("2024-03-01 00:00:01", 7),
                                 makeRecord("2024-03-01 00:00:05", 123456)};
    const std::vector<std::string> lines = exportAndRead(records, 0);
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[5], "t:2024-03-01 00:00:09\tt:-1");
    EXPECT_EQ(lines[6], "t:2024-03-01 00:00:01\tt:7");
    EXPECT_EQ(lines[7], "t:2024-03-01 00:00:05\tt:123456");
}

// One bold Arial beside the default font, registered only when there are
// records; an empty store still gives three sheets and the header.
TEST_F(RecordExporterTest, FontsAndSheetsWithAndWithoutRecords) {
    const std::vector<std::string> withRecords = exportAndRead(kTwoRecords, 0);
    ASSERT_GE(withRecords.size(), 3u);
    EXPECT_EQ(withRecords[0], "fonts 2");
    EXPECT_EQ(withRecords[2], "font Arial 700");

    const std::vector<std::string> empty = exportAndRead({}, 1);
    const std::vector<std::string> expected = {
        "fonts 1",        empty.at(1), "sheet Sheet1 1", "t:DateTime\tt:%LEL.M",
        "sheet Sheet2 1", "e",         "sheet Sheet3 1", "e"};
    EXPECT_EQ(empty, expected);
}

// More records than one sheet holds continue on the next sheet, each sheet
// starting with the header, nothing lost and nothing reordered.
TEST_F(RecordExporterTest, LargeStoreSpreadsOverSheets) {
    RecordStore records;
    const int count = 70000;
    for (int i = 0; i < count; ++i) {
        char time[32];
        std::snprintf(time, sizeof time, "2024-01-%02d %02d:%02d:%02d", 1 + i / 86400,
                      i / 3600 % 24, i / 60 % 60, i % 60);
        records.push_back(makeRecord(time, i));
    }
    const std::vector<std::string> lines = exportAndRead(records, 0);

    std::vector<std::string> expected = {"fonts 2"};
    int next = 0;
    for (const char* sheet : {"Sheet1", "Sheet2"}) {
        const int rows = std::min(count - next, 65535);
        expected.push_back(std::string("sheet ") + sheet + " " + std::to_string(rows + 1));
        expected.push_back("t:DateTime\tt:PPM.M");
        for (int r = 0; r < rows; ++r, ++next) {
            expected.push_back(std::string("t:") + records[next].timeText +
                               "\tt:" + std::to_string(next));
        }
    }
    expected.push_back("sheet Sheet3 1");
    expected.push_back("e");
    std::vector<std::string> body;
    for (const std::string& line : lines) {
        if (line.rfind("font ", 0) != 0)
            body.push_back(line);
    }
    ASSERT_EQ(body.size(), expected.size());
    EXPECT_TRUE(body == expected);
}

// A save that cannot finish (the file size limit stands in for a full disk)
// reports failure and leaves the file that was there byte for byte.
TEST_F(RecordExporterTest, FailedSaveKeepsExistingFile) {
    const fs::path file = dir / "records.xls";
    {
        std::ofstream out(file, std::ios::binary);
        out << "an earlier export";
    }
    RecordStore records(2000, makeRecord("2024-01-02 03:04:05", 42));

    bool saved = true;
    {
        const FileSizeLimit limit(4096);
        RecordExporter exporter;
        saved = exporter.exportRecords(records, file.u16string(), 0);
    }

    EXPECT_FALSE(saved);
    EXPECT_EQ(fileBytes(file), "an earlier export");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(RecordExporterTest, MissingFolderFailsAndCreatesNothing) {
    RecordExporter exporter;
    EXPECT_FALSE(exporter.exportRecords(kTwoRecords, (dir / "missing" / "x.xls").u16string(), 0));
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

}  // namespace

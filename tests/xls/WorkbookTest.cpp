#include "xls/Workbook.h"

#include <gtest/gtest.h>

#include "tests/xls/records/RecordBytes.h"

namespace xls {
namespace {

using test::MakeBytes;
using test::SplitRecords;
using test::WriteBytes;

TEST(GlobalsSubstream, NewDocumentIs658BytesInWriteOrder) {
    Workbook workbook;
    workbook.ResetToNewDocument();
    EXPECT_EQ(workbook.RecordSize(), 658u);
    const auto records = SplitRecords(WriteBytes(workbook));

    std::vector<std::pair<uint16_t, size_t>> expected = {{0x0809, 16}, {0x003D, 18}, {0x0031, 26}};
    expected.insert(expected.end(), 21, {0x00E0, 20});
    expected.insert(expected.end(), 6, {0x0293, 4});
    expected.insert(expected.end(), {{0x0085, 14}, {0x00FC, 8}, {0x000A, 0}});
    ASSERT_EQ(records.size(), expected.size());
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].code, expected[i].first) << "record " << i;
        EXPECT_EQ(records[i].data.size(), expected[i].second) << "record " << i;
    }
}

TEST(GlobalsSubstream, ResetDiscardsEarlierContent) {
    Workbook workbook;
    workbook.ResetToNewDocument();
    workbook.fonts.emplace_back();
    workbook.sheets.emplace_back();
    workbook.sst.strings.emplace_back(std::string("x"));
    workbook.ResetToNewDocument();
    EXPECT_EQ(workbook.fonts.size(), 1u);
    EXPECT_EQ(workbook.xfs.size(), 21u);
    EXPECT_EQ(workbook.styles.size(), 6u);
    EXPECT_EQ(workbook.sheets.size(), 1u);
    EXPECT_TRUE(workbook.sst.strings.empty());
}

TEST(GlobalsSubstream, OnlyUserFormatsAreWritten) {
    Workbook workbook;
    workbook.ResetToNewDocument();
    workbook.formats.resize(2);
    workbook.formats[0].index = 163;
    workbook.formats[0].text.SetNarrow("0.0");
    workbook.formats[1].index = 164;
    workbook.formats[1].text.SetNarrow("0.0");
    EXPECT_EQ(workbook.RecordSize(), 658u + 4u + 2u + 3u + 3u);
    const auto records = SplitRecords(WriteBytes(workbook));
    ASSERT_GT(records.size(), 3u);
    EXPECT_EQ(records[3].code, 0x041E);
    EXPECT_EQ(records[3].data, MakeBytes({0xA4, 0x00, 0x03, 0x00, 0x00, '0', '.', '0'}));
}

TEST(GlobalsSubstream, BoundSheetsCarryTheirStreamPositions) {
    Workbook workbook;
    workbook.ResetToNewDocument();
    workbook.sheets.resize(2);
    workbook.sheets[0].streamPosition = 0x01020304;
    workbook.sheets[1].streamPosition = 0x0A0B0C0D;
    const auto records = SplitRecords(WriteBytes(workbook));
    std::vector<uint32_t> positions;
    for (const auto& record : records) {
        if (record.code == 0x0085) {
            positions.push_back(test::U32At(record.data, 0));
        }
    }
    EXPECT_EQ(positions, (std::vector<uint32_t>{0x01020304, 0x0A0B0C0D}));
}

}  // namespace
}  // namespace xls

#include "xls/records/SharedStringTable.h"

#include <gtest/gtest.h>

#include "tests/xls/records/RecordBytes.h"

namespace xls {
namespace {

using test::Bytes;
using test::MakeBytes;
using test::SplitRecords;
using test::SstReader;
using test::WriteBytes;

std::vector<size_t> DataSizes(const std::vector<test::PhysicalRecord>& records) {
    std::vector<size_t> sizes;
    for (const auto& record : records) {
        sizes.push_back(record.data.size());
    }
    return sizes;
}

TEST(SharedStringTable, EmptyTableIsStillWritten) {
    SharedStringTable sst;
    EXPECT_EQ(WriteBytes(sst), MakeBytes({0xFC, 0x00, 0x08, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(SharedStringTable, EqualTextInBothEncodingsIsTwoEntries) {
    SharedStringTable sst;
    sst.totalCount = 3;
    sst.uniqueCount = 2;
    sst.strings = {LargeString(std::string("ab")), LargeString(std::u16string(u"ab"))};
    EXPECT_EQ(WriteBytes(sst),
              MakeBytes({0xFC, 0x00, 0x14, 0x00, 0x03, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
                         0x02, 0x00, 0x00, 'a',  'b',  0x02, 0x00, 0x01, 'a',  0x00, 'b',  0x00}));
}

TEST(SharedStringTable, StringsThatFitMakeOneRecord) {
    SharedStringTable sst;
    sst.strings.assign(2, LargeString(std::string(4105, 'f')));  // 8 + 2 x 4108 = 8224
    EXPECT_EQ(sst.DataSize(), 8224u);
    EXPECT_TRUE(sst.SplitPoints().empty());
    const auto records = SplitRecords(WriteBytes(sst));
    EXPECT_EQ(DataSizes(records), (std::vector<size_t>{8224}));
}

TEST(SharedStringTable, StringMovesWholeToNextRecordWhenFewerThan12BytesAreLeft) {
    SharedStringTable sst;
    sst.strings = {LargeString(std::string(8202, 'a')), LargeString(std::string(20, 'b'))};
    const auto records = SplitRecords(WriteBytes(sst));
    ASSERT_EQ(DataSizes(records), (std::vector<size_t>{8213, 23}));
    EXPECT_EQ(records[1].code, 0x003C);
    // The CONTINUE begins with the string's character count, not an option byte.
    EXPECT_EQ(Bytes(records[1].data.begin(), records[1].data.begin() + 4),
              MakeBytes({20, 0x00, 0x00, 'b'}));
}

TEST(SharedStringTable, StringIsSplitWhen12BytesAreLeft) {
    SharedStringTable sst;
    sst.strings = {LargeString(std::string(8201, 'a')), LargeString(std::string(20, 'b'))};
    const auto records = SplitRecords(WriteBytes(sst));
    ASSERT_EQ(DataSizes(records), (std::vector<size_t>{8224, 1 + 11}));
    EXPECT_EQ(Bytes(records[0].data.end() - 12, records[0].data.end()),
              MakeBytes({20, 0x00, 0x00, 'b', 'b', 'b', 'b', 'b', 'b', 'b', 'b', 'b'}));
    EXPECT_EQ(records[1].data[0], 0x00);
    EXPECT_EQ(records[1].data[1], 'b');
}

TEST(SharedStringTable, Utf16SplitKeepsCodeUnitsWholeAndLeavesRecordOneByteShort) {
    SharedStringTable sst;
    std::u16string wide(5000, u'\u0416');
    sst.strings = {LargeString(std::string(1001, 'a')), LargeString(wide)};
    const auto records = SplitRecords(WriteBytes(sst));
    // 8 + 1004 = 1012 bytes before the wide string; an even 7212 left would put an
    // odd 7209 character bytes in front of the split, so the record ends at 8223.
    ASSERT_EQ(DataSizes(records), (std::vector<size_t>{8223, 1 + 10000 - 7208}));
    EXPECT_EQ(records[1].data[0], 0x01);
    EXPECT_EQ(records[1].data[1], 0x16);
    EXPECT_EQ(records[1].data[2], 0x04);
    const auto content = SstReader(records).Read(2);
    EXPECT_EQ(content.entries[1].wideText, wide);
}

TEST(SharedStringTable, LongNarrowStringSpansThreeRecordsResumedWithOptionByte) {
    SharedStringTable sst;
    std::string text(20000, 'x');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char>('a' + i % 26);
    }
    // The first string leaves 5 bytes, so the long string begins a CONTINUE.
    sst.strings = {LargeString(std::string(8208, 'a')), LargeString(text)};
    const auto records = SplitRecords(WriteBytes(sst));
    ASSERT_EQ(DataSizes(records), (std::vector<size_t>{8219, 3 + 8221, 1 + 8223, 1 + 3556}));
    EXPECT_EQ(Bytes(records[1].data.begin(), records[1].data.begin() + 3),
              MakeBytes({0x20, 0x4E, 0x00}));
    EXPECT_EQ(records[2].data[0], 0x00);
    EXPECT_EQ(records[3].data[0], 0x00);
    const auto content = SstReader(records).Read(2);
    EXPECT_EQ(content.entries[1].narrowText, text);
}

TEST(SharedStringTable, WideStringOfFullLengthOverSeveralContinues) {
    SharedStringTable sst;
    std::u16string wide;
    for (size_t i = 0; i < 40000; ++i) {
        wide.push_back(static_cast<char16_t>(0x100 + i % 500));
    }
    sst.totalCount = 1;
    sst.uniqueCount = 1;
    sst.strings = {LargeString(wide)};
    const auto records = SplitRecords(WriteBytes(sst));
    for (size_t i = 1; i < records.size(); ++i) {
        EXPECT_EQ(records[i].data[0], 0x01);
        EXPECT_LE(records[i].data.size(), 8223u);
    }
    const auto content = SstReader(records).Read(1);
    EXPECT_EQ(content.entries[0].wideText, wide.substr(0, 32767));
}

TEST(SharedStringTable, ContinuesStartAtTheSplitPoints) {
    SharedStringTable sst;
    sst.strings = {LargeString(std::string(8202, 'a')), LargeString(std::string(20000, 'b')),
                   LargeString(std::u16string(9000, u'w')), LargeString(std::string(5, 'c'))};
    const uint32_t size = sst.DataSize();
    std::vector<uint32_t> bounds = sst.SplitPoints();
    ASSERT_EQ(bounds.size(), 5u);
    EXPECT_EQ(sst.RecordSize(), 4u + size + 4u * 5u);
    bounds.insert(bounds.begin(), 0);
    bounds.push_back(size);
    const auto records = SplitRecords(WriteBytes(sst));
    ASSERT_EQ(records.size(), bounds.size() - 1);
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].code, i == 0 ? 0x00FC : 0x003C);
        EXPECT_EQ(records[i].data.size(), bounds[i + 1] - bounds[i]) << "record " << i;
    }
}

TEST(SharedStringTable, SplitPointsAreRecomputedFromTheCurrentStrings) {
    SharedStringTable sst;
    sst.strings = {LargeString(std::string(9000, 'a'))};
    EXPECT_EQ(sst.RecordSize(), 4u + 8u + 9003u + 1u + 4u);
    sst.Clear();
    EXPECT_EQ(sst.RecordSize(), 12u);
    EXPECT_EQ(SplitRecords(WriteBytes(sst)).size(), 1u);
}

}  // namespace
}  // namespace xls

#include <gtest/gtest.h>

#include "tests/xls/records/RecordBytes.h"
#include "xls/records/Blank.h"
#include "xls/records/BoolErr.h"
#include "xls/records/ColInfo.h"
#include "xls/records/DBCell.h"
#include "xls/records/Dimensions.h"
#include "xls/records/Formula.h"
#include "xls/records/Index.h"
#include "xls/records/LabelSST.h"
#include "xls/records/MergedCells.h"
#include "xls/records/MulBlank.h"
#include "xls/records/MulRK.h"
#include "xls/records/Number.h"
#include "xls/records/RK.h"
#include "xls/records/Row.h"
#include "xls/records/Window2.h"

namespace xls {
namespace {

using test::Bytes;
using test::MakeBytes;
using test::SplitRecords;
using test::WriteBytes;

TEST(CellRecords, NumberWritesTheDoubleAsHeld) {
    Number number;
    number.row = 0x0102;
    number.column = 3;
    number.xfIndex = 15;
    number.value = 1.0;
    EXPECT_EQ(WriteBytes(number),
              MakeBytes({0x03, 0x02, 0x0E, 0x00, 0x02, 0x01, 0x03, 0x00, 0x0F, 0x00, 0x00, 0x00,
                         0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F}));
}

TEST(CellRecords, SingleCellRecords) {
    Blank blank;
    blank.row = 1;
    blank.column = 2;
    blank.xfIndex = 3;
    EXPECT_EQ(WriteBytes(blank), MakeBytes({0x01, 0x02, 0x06, 0x00, 1, 0, 2, 0, 3, 0}));

    BoolErr boolErr;
    boolErr.value = 0x07;
    boolErr.isError = 1;
    EXPECT_EQ(WriteBytes(boolErr), MakeBytes({0x05, 0x02, 0x08, 0x00, 0, 0, 0, 0, 0, 0, 7, 1}));

    LabelSST label;
    label.row = 5;
    label.sstIndex = 0x0203'0405;
    EXPECT_EQ(WriteBytes(label),
              MakeBytes({0xFD, 0x00, 0x0A, 0x00, 5, 0, 0, 0, 0, 0, 0x05, 0x04, 0x03, 0x02}));

    RK rk;
    rk.column = 255;
    rk.rkValue = 0x3FF00000;
    EXPECT_EQ(WriteBytes(rk),
              MakeBytes({0x7E, 0x02, 0x0A, 0x00, 0, 0, 0xFF, 0, 0, 0, 0x00, 0x00, 0xF0, 0x3F}));
}

TEST(CellRecords, MulRKOverThreeCells) {
    MulRK mulRK;
    mulRK.row = 7;
    mulRK.column = 1;
    mulRK.cells = {{0x0F, 6}, {0x10, 10}, {0x11, 0x3FF00000}};
    mulRK.lastColumn = 3;
    EXPECT_EQ(mulRK.DataSize(), 24u);
    EXPECT_EQ(WriteBytes(mulRK),
              MakeBytes({0xBD, 0x00, 0x18, 0x00, 7, 0, 1,    0, 0x0F, 0,    6,    0,    0, 0,
                         0x10, 0,    10,   0,    0, 0, 0x11, 0, 0x00, 0x00, 0xF0, 0x3F, 3, 0}));
}

TEST(CellRecords, MulBlankOverThreeCells) {
    MulBlank mulBlank;
    mulBlank.row = 2;
    mulBlank.column = 4;
    mulBlank.xfIndices = {15, 16, 17};
    mulBlank.lastColumn = 6;
    EXPECT_EQ(mulBlank.DataSize(), 12u);
    EXPECT_EQ(WriteBytes(mulBlank),
              MakeBytes({0xBE, 0x00, 0x0C, 0x00, 2, 0, 4, 0, 15, 0, 16, 0, 17, 0, 6, 0}));
}

TEST(CellRecords, MulRKLongerThanOneRecordIsContinued) {
    MulRK mulRK;
    mulRK.cells.resize(2000);
    EXPECT_EQ(mulRK.RecordSize(), 4u + 12006u + 4u);
    const auto records = SplitRecords(WriteBytes(mulRK));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].code, 0x003C);
}

TEST(RowRecords, RowAndDimensions) {
    Row row;
    row.row = 0x1234;
    row.lastColumnPlusOne = 2;
    EXPECT_EQ(WriteBytes(row),
              MakeBytes({0x08, 0x02, 0x10, 0x00, 0x34, 0x12, 0x00, 0x00, 0x02, 0x00,
                         0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00}));
    Dimensions dimensions;
    dimensions.lastRowPlusOne = 65536;
    dimensions.lastColumnPlusOne = 256;
    EXPECT_EQ(WriteBytes(dimensions), MakeBytes({0x00, 0x02, 0x0E, 0x00, 0, 0, 0, 0, 0x00, 0x00,
                                                 0x01, 0x00, 0, 0, 0x00, 0x01, 0, 0}));
}

TEST(RowRecords, DBCellOfAFullBlock) {
    DBCell dbcell;
    EXPECT_EQ(dbcell.RecordSize(), 8u);
    dbcell.firstRowOffset = 0x01020304;
    dbcell.rowOffsets.assign(32, 0);
    dbcell.rowOffsets[0] = 620;
    dbcell.rowOffsets[31] = 0xABCD;
    EXPECT_EQ(dbcell.DataSize(), 68u);
    const Bytes bytes = WriteBytes(dbcell);
    ASSERT_EQ(bytes.size(), 72u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 10),
              MakeBytes({0xD7, 0x00, 0x44, 0x00, 0x04, 0x03, 0x02, 0x01, 0x6C, 0x02}));
    EXPECT_EQ(Bytes(bytes.end() - 2, bytes.end()), MakeBytes({0xCD, 0xAB}));
}

TEST(RowRecords, IndexOfTwoRowBlocks) {
    Index index;
    EXPECT_EQ(index.DataSize(), 20u);
    index.firstRow = 0;
    index.lastRowPlusOne = 33;
    index.dbcellPositions = {0x000002EE, 0x00010000};
    EXPECT_EQ(index.DataSize(), 24u);
    EXPECT_EQ(WriteBytes(index),
              MakeBytes({0x0B, 0x02, 0x18, 0x00, 0, 0, 0,    0,    0, 0, 0,    0,    33,   0,
                         0,    0,    0,    0,    0, 0, 0xEE, 0x02, 0, 0, 0x00, 0x00, 0x01, 0x00}));
}

TEST(SheetRecords, DefaultWindow2) {
    Window2 window;
    EXPECT_EQ(WriteBytes(window), MakeBytes({0x3E, 0x02, 0x12, 0x00, 0xB6, 0x06, 0, 0, 0, 0, 0x40,
                                             0x00, 0,    0,    0,    0,    0,    0, 0, 0, 0, 0}));
}

TEST(SheetRecords, ColInfosWriteTheirEntriesWithoutAHeader) {
    ColInfos colInfos;
    EXPECT_EQ(colInfos.RecordSize(), 0u);
    EXPECT_TRUE(WriteBytes(colInfos).empty());
    colInfos.entries.resize(2);
    colInfos.entries[1].firstColumn = 3;
    colInfos.entries[1].lastColumn = 4;
    colInfos.entries[1].width = 0x0900;
    const auto records = SplitRecords(WriteBytes(colInfos));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].code, 0x007D);
    EXPECT_EQ(records[1].data, MakeBytes({3, 0, 4, 0, 0x00, 0x09, 0, 0, 0, 0, 0, 0}));
}

MergedCells RangesOf(size_t count) {
    MergedCells merged;
    for (size_t i = 0; i < count; ++i) {
        const auto row = static_cast<uint16_t>(i);
        merged.ranges.emplace_back(row, static_cast<uint16_t>(row + 1), 2, 5);
    }
    return merged;
}

TEST(SheetRecords, NoMergedRangesNoRecord) {
    MergedCells merged = RangesOf(0);
    EXPECT_EQ(merged.RecordSize(), 0u);
    EXPECT_TRUE(WriteBytes(merged).empty());
}

TEST(SheetRecords, MergedRangesFillOneRecordUpTo1027) {
    MergedCells merged = RangesOf(1027);
    const auto records = SplitRecords(WriteBytes(merged));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].code, 0x00E5);
    EXPECT_EQ(records[0].data.size(), 8218u);
    EXPECT_EQ(test::U16At(records[0].data, 0), 1027);
    EXPECT_EQ(Bytes(records[0].data.end() - 8, records[0].data.end()),
              MakeBytes({0x02, 0x04, 0x03, 0x04, 2, 0, 5, 0}));
}

TEST(SheetRecords, The1028thMergedRangeGoesIntoASecondRecord) {
    MergedCells merged = RangesOf(1028);
    EXPECT_EQ(merged.RecordSize(), (6u + 8u * 1027u) + (6u + 8u));
    const auto records = SplitRecords(WriteBytes(merged));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].data.size(), 8218u);
    EXPECT_EQ(records[1].code, 0x00E5);
    EXPECT_EQ(records[1].data, MakeBytes({1, 0, 0x03, 0x04, 0x04, 0x04, 2, 0, 5, 0}));
}

TEST(FormulaRecords, FormulaAloneWithoutAttachments) {
    Formula formula;
    formula.row = 1;
    formula.expression = {0x03, 0x00, 0x1E, 0x01, 0x00};
    const auto records = SplitRecords(WriteBytes(formula));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].code, 0x0006);
    EXPECT_EQ(records[0].data.size(), 25u);
}

TEST(FormulaRecords, AttachedRecordAndStringFollowTheFormula) {
    Formula formula;
    formula.cachedResult = {0x00, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    formula.attachedCode = 0x04BC;
    formula.shrFmla1.lastRow = 9;
    formula.shrFmla1.expression = {0x1E, 0x02, 0x00};
    formula.hasStringResult = true;
    formula.string.text.SetWide(u"ok");
    const auto records = SplitRecords(WriteBytes(formula));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].code, 0x0006);
    EXPECT_EQ(Bytes(records[0].data.begin() + 6, records[0].data.begin() + 14),
              Bytes(formula.cachedResult.begin(), formula.cachedResult.end()));
    EXPECT_EQ(records[1].code, 0x04BC);
    EXPECT_EQ(records[1].data, MakeBytes({0, 0, 9, 0, 0, 0, 0, 0, 0x1E, 0x02, 0x00}));
    EXPECT_EQ(records[2].code, 0x0207);
    EXPECT_EQ(records[2].data, MakeBytes({2, 0, 1, 'o', 0, 'k', 0}));
}

TEST(FormulaRecords, TableAndArrayLayouts) {
    Formula formula;
    formula.attachedCode = 0x0036;
    formula.table.lastRow = 4;
    formula.table.inputCells = {1, 2, 3, 4};
    auto records = SplitRecords(WriteBytes(formula));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].data, MakeBytes({0, 0, 4, 0, 0, 0, 0, 0, 1, 0, 2, 0, 3, 0, 4, 0}));

    formula.attachedCode = 0x0221;
    formula.array.lastColumn = 2;
    formula.array.expression = {0xAA};
    records = SplitRecords(WriteBytes(formula));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].code, 0x0221);
    EXPECT_EQ(records[1].data, MakeBytes({0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0xAA}));
}

}  // namespace
}  // namespace xls

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "xls/RkNumber.h"
#include "xls/SharedStringIndex.h"
#include "xls/XlsDocument.h"
#include "xls/records/Blank.h"
#include "xls/records/LabelSST.h"
#include "xls/records/MulRK.h"
#include "xls/records/Number.h"
#include "xls/records/RK.h"

namespace xls {
namespace {

// The cell records of a worksheet in stream order.
std::vector<CellRecord*> CellRecords(Worksheet& worksheet) {
    std::vector<CellRecord*> records;
    for (RowBlock& block : worksheet.cellTable.blocks) {
        for (const CellBlockRef& cell : block.cells) {
            records.push_back(cell->GetRecord());
        }
    }
    return records;
}

std::vector<uint16_t> Codes(const std::vector<CellRecord*>& records) {
    std::vector<uint16_t> codes;
    for (const CellRecord* record : records) {
        codes.push_back(record->Code());
    }
    return codes;
}

class SheetConversion : public ::testing::Test {
protected:
    void SetUp() override { document.New(1); }
    XlsSheet& Sheet(int i = 0) { return *document.GetSheet(i); }
    Worksheet& Converted(int i = 0) {
        document.ConvertSheets();
        return document.Worksheets()[static_cast<size_t>(i)];
    }
    SharedStringTable& Sst() { return document.Globals().sst; }

    XlsDocument document;
};

TEST_F(SheetConversion, ExampleRow) {
    XlsSheet& sheet = Sheet();
    sheet.Cell(0, 0)->SetInt(1);
    sheet.Cell(0, 1)->SetInt(2);
    sheet.Cell(0, 3)->SetString("text");
    sheet.Cell(0, 4)->SetDouble(1.5);
    sheet.Cell(0, 5)->SetDouble(2.25);
    sheet.Cell(0, 6)->SetDouble(3.14159);
    sheet.Cell(0, 7)->SetDouble(7.0);
    sheet.Cell(0, 6)->SetXFIndex(0x10015);
    const auto records = CellRecords(Converted());

    ASSERT_EQ(Codes(records),
              (std::vector<uint16_t>{0x00BD, 0x0201, 0x00FD, 0x00BD, 0x0203, 0x027E}));
    const auto& ints = static_cast<MulRK&>(*records[0]);
    EXPECT_EQ(ints.column, 0);
    EXPECT_EQ(ints.lastColumn, 1);
    ASSERT_EQ(ints.cells.size(), 2u);
    EXPECT_EQ(ints.cells[0].rkValue, 6u);
    EXPECT_EQ(ints.cells[1].rkValue, 10u);
    EXPECT_EQ(records[1]->column, 2);
    EXPECT_EQ(static_cast<LabelSST&>(*records[2]).sstIndex, 0u);
    const auto& doubles = static_cast<MulRK&>(*records[3]);
    EXPECT_EQ(doubles.column, 4);
    EXPECT_EQ(doubles.lastColumn, 5);
    ASSERT_EQ(doubles.cells.size(), 2u);
    EXPECT_EQ(doubles.cells[0].rkValue, 0x4062C000u | 1);  // 150.0, divided by 100
    EXPECT_EQ(doubles.cells[1].rkValue, 0x406C2000u | 1);  // 225.0, divided by 100
    const auto& number = static_cast<Number&>(*records[4]);
    EXPECT_EQ(number.column, 6);
    EXPECT_EQ(number.value, 3.14159);
    EXPECT_EQ(number.xfIndex, 0x0015);  // low 16 bits of the cell's XF index
    const auto& seven = static_cast<RK&>(*records[5]);
    EXPECT_EQ(seven.column, 7);
    EXPECT_EQ(seven.rkValue, 0x401C0000u);  // 7.0 as it is
}

TEST_F(SheetConversion, EmptyGridGivesRowsAndBlanks) {
    Sheet().Cell(5, 3);
    Worksheet& worksheet = Converted();
    ASSERT_EQ(worksheet.cellTable.blocks.size(), 1u);
    const RowBlock& block = worksheet.cellTable.blocks[0];
    ASSERT_EQ(block.rows.size(), 6u);
    EXPECT_EQ(block.cells.size(), 24u);
    for (size_t r = 0; r < 6; ++r) {
        EXPECT_EQ(block.rows[r].row, r);
        EXPECT_EQ(block.rows[r].firstColumn, 0);
        EXPECT_EQ(block.rows[r].lastColumnPlusOne, 4);
        EXPECT_EQ(block.rows[r].height, 0x00FF);
        EXPECT_EQ(block.rows[r].options, 0x00000100u);
    }
    const auto records = CellRecords(worksheet);
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i]->Code(), 0x0201);
        EXPECT_EQ(records[i]->row, i / 4);
        EXPECT_EQ(records[i]->column, i % 4);
    }
    EXPECT_EQ(block.dbcell.rowOffsets.size(), 6u);
    // Room for every cell of the block's rows, and not more.
    EXPECT_EQ(block.cells.capacity(), 24u);
    EXPECT_EQ(worksheet.dimensions.lastRowPlusOne, 6u);
    EXPECT_EQ(worksheet.dimensions.lastColumnPlusOne, 4);
    EXPECT_EQ(worksheet.index.lastRowPlusOne, 6u);
}

TEST_F(SheetConversion, NewDocumentSheetsHoldOneBlankEach) {
    document.New(3);
    document.ConvertSheets();
    for (Worksheet& worksheet : document.Worksheets()) {
        ASSERT_EQ(worksheet.cellTable.blocks.size(), 1u);
        const RowBlock& block = worksheet.cellTable.blocks[0];
        ASSERT_EQ(block.rows.size(), 1u);
        EXPECT_EQ(block.rows[0].lastColumnPlusOne, 1);
        ASSERT_EQ(block.cells.size(), 1u);
        const auto* blank = block.cells[0]->As<Blank>();
        ASSERT_NE(blank, nullptr);
        EXPECT_EQ(blank->xfIndex, 0);
        EXPECT_EQ(worksheet.dimensions.firstRow, 0u);
        EXPECT_EQ(worksheet.dimensions.lastRowPlusOne, 1u);
        EXPECT_EQ(worksheet.dimensions.lastColumnPlusOne, 1);
        EXPECT_EQ(worksheet.index.dbcellPositions.size(), 1u);
    }
    EXPECT_EQ(document.Worksheets()[0].window.options, 0x06B6);
    EXPECT_EQ(document.Worksheets()[1].window.options, 0x04B6);
    EXPECT_EQ(document.Worksheets()[2].window.options, 0x04B6);
}

// A row block keeps its ROW records in the table's memory; a copy of them
// does not, and outlives the document (the sanitised build shows a stale read).
TEST(SheetConversionMemory, CopiedRowRecordsOutliveTheirTable) {
    std::unique_ptr<decltype(RowBlock::rows)> rows;
    {
        XlsDocument document;
        document.New(1);
        document.GetSheet(0)->Cell(2, 1)->SetString("kept");
        document.ConvertSheets();
        rows = std::make_unique<decltype(RowBlock::rows)>(
            document.Worksheets()[0].cellTable.blocks[0].rows);
    }
    ASSERT_EQ(rows->size(), 3u);
    EXPECT_EQ((*rows)[2].row, 2);
}

// A save gives back the grid memory beyond the last cell; cells made
// afterwards in that memory start empty, and the cells before keep their texts.
TEST(SheetConversionMemory, GridGrowsAgainAfterASave) {
    XlsDocument document;
    document.New(1);
    XlsSheet& sheet = *document.GetSheet(0);
    for (int r = 0; r < 40000; ++r) {
        sheet.Cell(r, 1)->SetString(std::to_string(r).c_str());
    }
    document.ConvertSheets();
    sheet.Cell(40999, 0)->SetInt(7);
    for (int r = 0; r < 41000; r += 997) {
        EXPECT_EQ(sheet.At(r, 1).Text(), r < 40000 ? std::to_string(r) : "") << r;
        EXPECT_EQ(sheet.At(r, 0).Type(), CellEmpty) << r;
    }
    EXPECT_EQ(sheet.At(40999, 0).IntValue(), 7);
}

TEST_F(SheetConversion, RowBlocksOf32Rows) {
    Sheet().Cell(31, 0);
    EXPECT_EQ(Converted().cellTable.blocks.size(), 1u);
    EXPECT_EQ(Converted().index.dbcellPositions.size(), 1u);

    Sheet().Cell(32, 1);
    Worksheet& worksheet = Converted();
    ASSERT_EQ(worksheet.cellTable.blocks.size(), 2u);
    EXPECT_EQ(worksheet.index.dbcellPositions.size(), 2u);
    EXPECT_EQ(worksheet.cellTable.blocks[0].rows.size(), 32u);
    EXPECT_EQ(worksheet.cellTable.blocks[0].cells.size(), 64u);
    ASSERT_EQ(worksheet.cellTable.blocks[1].rows.size(), 1u);
    EXPECT_EQ(worksheet.cellTable.blocks[1].rows[0].row, 32);
    EXPECT_EQ(worksheet.cellTable.blocks[1].dbcell.rowOffsets.size(), 1u);
}

TEST_F(SheetConversion, FullRowBlockCellListGrowsInSteps) {
    Sheet().Cell(31, 255);
    const RowBlock& block = Converted().cellTable.blocks[0];
    EXPECT_EQ(block.cells.size(), 8192u);
    EXPECT_EQ(block.cells.capacity(), 9000u);
}

TEST_F(SheetConversion, EqualNarrowTextsShareOneEntry) {
    Sheet().Cell(0, 0)->SetString("same");
    Sheet().Cell(3, 1)->SetString("same");
    const auto records = CellRecords(Converted());
    EXPECT_EQ(Sst().totalCount, 2u);
    EXPECT_EQ(Sst().uniqueCount, 1u);
    ASSERT_EQ(Sst().strings.size(), 1u);
    EXPECT_EQ(Sst().strings[0].Narrow(), "same");
    EXPECT_FALSE(Sst().strings[0].IsWide());
    EXPECT_EQ(static_cast<LabelSST&>(*records[0]).sstIndex, 0u);
    EXPECT_EQ(static_cast<LabelSST&>(*records.back()).sstIndex, 0u);
}

TEST_F(SheetConversion, NarrowAndWideTextsAreKeptApart) {
    Sheet().Cell(0, 0)->SetString("abc");
    Sheet().Cell(0, 1)->SetWideString(u"abc");
    Sheet().Cell(0, 2)->SetWideString(u"abc");
    const auto records = CellRecords(Converted());
    EXPECT_EQ(Sst().totalCount, 3u);
    EXPECT_EQ(Sst().uniqueCount, 2u);
    ASSERT_EQ(Sst().strings.size(), 2u);
    EXPECT_TRUE(Sst().strings[1].IsWide());
    EXPECT_EQ(Sst().strings[1].Wide(), u"abc");
    EXPECT_EQ(static_cast<LabelSST&>(*records[0]).sstIndex, 0u);
    EXPECT_EQ(static_cast<LabelSST&>(*records[1]).sstIndex, 1u);
    EXPECT_EQ(static_cast<LabelSST&>(*records[2]).sstIndex, 1u);
}

TEST_F(SheetConversion, StringIndicesFollowFirstAppearanceAcrossSheets) {
    document.New(2);
    Sheet(0).Cell(0, 1)->SetString("b");
    Sheet(0).Cell(1, 0)->SetString("a");
    Sheet(1).Cell(0, 0)->SetString("c");
    Sheet(1).Cell(0, 1)->SetString("b");
    // Many distinct texts, so the lookup grows past its first size.
    for (int r = 2; r < 200; ++r) {
        Sheet(0).Cell(r, 0)->SetString(std::to_string(r).c_str());
    }
    document.ConvertSheets();
    ASSERT_EQ(Sst().uniqueCount, 201u);
    EXPECT_EQ(Sst().strings[0].Narrow(), "b");
    EXPECT_EQ(Sst().strings[1].Narrow(), "a");
    EXPECT_EQ(Sst().strings[2].Narrow(), "2");
    EXPECT_EQ(Sst().strings[200].Narrow(), "c");
    const auto second = CellRecords(document.Worksheets()[1]);
    EXPECT_EQ(static_cast<LabelSST&>(*second[0]).sstIndex, 200u);
    EXPECT_EQ(static_cast<LabelSST&>(*second[1]).sstIndex, 0u);
}

// The table keeps at most 32767 characters of a text; texts that agree
// that far are written alike and share one entry.
TEST_F(SheetConversion, OverlongTextsAreLookedUpAsTheTableKeepsThem) {
    const std::string common(32767, 'x');
    Sheet().Cell(0, 0)->SetString((common + "first").c_str());
    Sheet().Cell(0, 1)->SetString((common + "second").c_str());
    Sheet().Cell(0, 2)->SetString(common.substr(1).c_str());
    const auto records = CellRecords(Converted());
    EXPECT_EQ(Sst().uniqueCount, 2u);
    EXPECT_EQ(Sst().strings[0].Narrow(), common);
    EXPECT_EQ(static_cast<LabelSST&>(*records[1]).sstIndex, 0u);
    EXPECT_EQ(static_cast<LabelSST&>(*records[2]).sstIndex, 1u);
}

TEST(SharedStringIndex, MoreTextsThanCountedGetOneIndexEach) {
    SharedStringTable sst;
    SharedStringIndex strings(sst, 1, 1);
    for (int round = 0; round < 2; ++round) {
        for (uint32_t i = 0; i < 300; ++i) {
            const std::string narrow = std::to_string(i);
            const std::u16string wide(i + 1, u'w');
            EXPECT_EQ(strings.Add(narrow, strings.Hash(narrow)), 2 * i);
            EXPECT_EQ(strings.Add(wide, strings.Hash(wide)), 2 * i + 1);
        }
    }
    EXPECT_EQ(sst.uniqueCount, 600u);
    EXPECT_EQ(sst.totalCount, 1200u);
    EXPECT_EQ(sst.strings[599].Wide(), std::u16string(300, u'w'));
}

// The conversion's cell blocks live in the cell table's arena; they still
// take another record kind.
TEST_F(SheetConversion, ConvertedCellBlocksTakeAnotherKind) {
    Sheet().Cell(0, 0)->SetString("x");
    CellBlock& cell = *Converted().cellTable.blocks[0].cells[0];
    ASSERT_NE(cell.As<LabelSST>(), nullptr);
    cell.SetType(0x0203);
    EXPECT_EQ(cell.Code(), 0x0203);
    EXPECT_NE(cell.As<Number>(), nullptr);
    EXPECT_EQ(Converted().cellTable.blocks[0].cells[0]->Code(), 0x00FD);
}

TEST_F(SheetConversion, ConvertingTwiceGivesTheSameRecords) {
    Sheet().Cell(0, 0)->SetString("x");
    Sheet().Cell(1, 0)->SetString("x");
    Converted();
    const auto records = CellRecords(Converted());
    EXPECT_EQ(Sst().totalCount, 2u);
    EXPECT_EQ(Sst().uniqueCount, 1u);
    EXPECT_EQ(records.size(), 2u);
}

TEST_F(SheetConversion, RunsBreakAtAnotherType) {
    XlsSheet& sheet = Sheet();
    sheet.Cell(0, 0)->SetInt(1);
    sheet.Cell(0, 1)->SetDouble(2.0);
    sheet.Cell(0, 2)->SetDouble(3.14159);
    sheet.Cell(0, 3)->SetDouble(2.71828);
    sheet.Cell(0, 4)->SetInt(5);
    sheet.Cell(0, 5)->SetInt(6);
    sheet.Cell(0, 6)->SetInt(7);
    const auto records = CellRecords(Converted());
    ASSERT_EQ(Codes(records), (std::vector<uint16_t>{0x027E, 0x027E, 0x0203, 0x0203, 0x00BD}));
    const auto& run = static_cast<MulRK&>(*records[4]);
    EXPECT_EQ(run.column, 4);
    EXPECT_EQ(run.lastColumn, 6);
    EXPECT_EQ(run.cells.size(), 3u);
}

TEST_F(SheetConversion, MagnitudeReaching2To31TimesTenThousandIsNoRK) {
    EXPECT_TRUE(PassesRkTest(214748.25));
    EXPECT_FALSE(PassesRkTest(214748.3648));
    EXPECT_FALSE(PassesRkTest(-214748.3648));
    EXPECT_FALSE(PassesRkTest(std::nan("")));
    EXPECT_FALSE(PassesRkTest(1e300));
    Sheet().Cell(0, 0)->SetDouble(214748.3648);
    Sheet().Cell(0, 1)->SetDouble(-214748.3648);
    EXPECT_EQ(Codes(CellRecords(Converted())), (std::vector<uint16_t>{0x0203, 0x0203}));
}

// Values that pass the RK test but that the 30 bits of the RK form do not
// hold, and integers outside the 30-bit range, go into NUMBER records with
// their exact value, and break runs.
TEST_F(SheetConversion, NumbersTheRKFormCannotHoldBecomeExactNumbers) {
    const double doubles[] = {10000.01, -10000.01, 123456.78, 1e-05};
    for (double value : doubles) {
        EXPECT_FALSE(RkFromDouble(value).has_value()) << value;
    }
    EXPECT_FALSE(RkFromInteger(1 << 29).has_value());
    EXPECT_FALSE(RkFromInteger(-(1 << 29) - 1).has_value());
    EXPECT_EQ(RkFromInteger((1 << 29) - 1), (((1u << 29) - 1) << 2) | 2);
    EXPECT_EQ(RkFromInteger(-(1 << 29)), 0x80000002u);

    XlsSheet& sheet = Sheet();
    sheet.Cell(0, 0)->SetInt(1);
    sheet.Cell(0, 1)->SetInt(1 << 29);
    sheet.Cell(0, 2)->SetInt(2);
    sheet.Cell(0, 3)->SetInt(-(1 << 29) - 1);
    sheet.Cell(0, 4)->SetDouble(0.5);
    sheet.Cell(0, 5)->SetDouble(10000.01);
    sheet.Cell(0, 6)->SetDouble(0.25);
    sheet.Cell(0, 7)->SetDouble(-10000.01);
    sheet.Cell(0, 8)->SetDouble(123456.78);
    sheet.Cell(0, 9)->SetDouble(1e-05);
    const auto records = CellRecords(Converted());
    ASSERT_EQ(Codes(records), (std::vector<uint16_t>{0x027E, 0x0203, 0x027E, 0x0203, 0x027E, 0x0203,
                                                     0x027E, 0x0203, 0x0203, 0x0203}));
    EXPECT_EQ(static_cast<Number&>(*records[1]).value, 536870912.0);
    EXPECT_EQ(static_cast<Number&>(*records[3]).value, -536870913.0);
    EXPECT_EQ(static_cast<Number&>(*records[5]).value, 10000.01);
    EXPECT_EQ(static_cast<Number&>(*records[7]).value, -10000.01);
    EXPECT_EQ(static_cast<Number&>(*records[8]).value, 123456.78);
    EXPECT_EQ(static_cast<Number&>(*records[9]).value, 1e-05);
}

// Every value written in RK form reads back exactly.
TEST(RkNumber, EncodedDoublesDecodeExactly) {
    const double values[] = {0.0,   1.0,   -1.0, 0.01,   0.5,       1.5,       2.25,
                             99.99, 7.0,   1e-2, 5000.5, -12345.67, 100000.25, 2147.48,
                             3.0,   -0.75, 0.07, 524288, 5242.87,   214748.36, -214748.36};
    for (double value : values) {
        const auto rk = RkFromDouble(value);
        if (rk) {
            EXPECT_EQ(RkToDouble(*rk), value) << value;
        }
    }
    for (double value : {1.5, 0.01, -123.45, 99.99, 7.0, 214748.0}) {
        EXPECT_TRUE(RkFromDouble(value).has_value()) << value;
    }
    for (int32_t n : {0, 1, -1, 123456, (1 << 29) - 1, -(1 << 29)}) {
        EXPECT_EQ(RkToDouble(*RkFromInteger(n)), n);
    }
}

TEST_F(SheetConversion, MergedRangesFromSpans) {
    Sheet().Cell(4, 1)->SetSpan(2, 3);
    Sheet().Cell(0, 0)->SetSpan(1, 1);
    EXPECT_FALSE(Sheet().Cell(4, 1)->SetSpan(0, 5));
    EXPECT_FALSE(Sheet().Cell(2, 0)->SetSpan(3, 0));
    Worksheet& worksheet = Converted();
    ASSERT_EQ(worksheet.mergedCells.ranges.size(), 1u);
    const MergedCell& range = worksheet.mergedCells.ranges[0];
    EXPECT_EQ(range.firstRow, 4);
    EXPECT_EQ(range.lastRow, 5);
    EXPECT_EQ(range.firstColumn, 1);
    EXPECT_EQ(range.lastColumn, 3);
    // The covered cells keep their own records.
    EXPECT_EQ(CellRecords(worksheet).size(), 5u * 2u);
}

TEST_F(SheetConversion, MergedRangesStopAtTheGridEdge) {
    document.New(2);
    Sheet(0).Cell(65535, 0)->SetSpan(3, 1);
    Sheet(1).Cell(0, 255)->SetSpan(1, 4);
    document.ConvertSheets();
    const MergedCell& rows = document.Worksheets()[0].mergedCells.ranges.at(0);
    EXPECT_EQ(rows.firstRow, 65535);
    EXPECT_EQ(rows.lastRow, 65535);
    const MergedCell& columns = document.Worksheets()[1].mergedCells.ranges.at(0);
    EXPECT_EQ(columns.firstColumn, 255);
    EXPECT_EQ(columns.lastColumn, 255);
}

}  // namespace
}  // namespace xls

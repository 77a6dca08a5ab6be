#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xls/XlsDocument.h"
#include "xls/records/BoolErr.h"
#include "xls/records/MulBlank.h"

namespace xls {
namespace {

std::vector<std::string> SheetNames(XlsDocument& document) {
    std::vector<std::string> names;
    for (const BoundSheet& sheet : document.Globals().sheets) {
        names.push_back(sheet.name.Narrow());
    }
    return names;
}

void ExpectOneEmptyCell(XlsSheet* sheet) {
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->RowCount(), 1);
    EXPECT_EQ(sheet->ColumnCount(), 1);
    EXPECT_EQ(sheet->At(0, 0).Type(), CellEmpty);
}

TEST(XlsDocumentNew, ZeroAndOneSheetGiveOneSheet) {
    for (unsigned count : {0u, 1u}) {
        XlsDocument document;
        document.New(count);
        EXPECT_EQ(document.SheetCount(), 1) << count;
        EXPECT_EQ(SheetNames(document), std::vector<std::string>{"Sheet1"});
        EXPECT_EQ(document.Worksheets().size(), 1u);
        ExpectOneEmptyCell(document.GetSheet(0));
    }
}

TEST(XlsDocumentNew, ThreeSheetsNamedInOrderWithOnlyTheFirstSelected) {
    XlsDocument document;
    document.New(3);
    ASSERT_EQ(document.SheetCount(), 3);
    EXPECT_EQ(SheetNames(document), (std::vector<std::string>{"Sheet1", "Sheet2", "Sheet3"}));
    for (int i = 0; i < 3; ++i) {
        ExpectOneEmptyCell(document.GetSheet(i));
        EXPECT_EQ(document.GetSheet(i)->Index(), i);
    }
    EXPECT_EQ(document.Worksheets()[0].window.options, 0x06B6);
    EXPECT_EQ(document.Worksheets()[1].window.options, 0x04B6);
    EXPECT_EQ(document.Worksheets()[2].window.options, 0x04B6);
    EXPECT_EQ(document.Globals().fonts.size(), 1u);
    EXPECT_EQ(document.Globals().xfs.size(), 21u);
    EXPECT_EQ(document.Globals().styles.size(), 6u);
}

TEST(XlsDocumentNew, SecondNewDiscardsEverything) {
    XlsDocument document;
    document.New(3);
    document.GetSheet(0)->Cell(9, 9)->SetString("x");
    document.AddSheet("Extra", -1);
    document.New(2);
    EXPECT_EQ(SheetNames(document), (std::vector<std::string>{"Sheet1", "Sheet2"}));
    ExpectOneEmptyCell(document.GetSheet(0));
}

TEST(XlsDocumentSheets, GetSheetOutsideTheListIsNull) {
    XlsDocument document;
    EXPECT_EQ(document.GetSheet(0), nullptr);
    document.New(3);
    EXPECT_EQ(document.GetSheet(-1), nullptr);
    EXPECT_EQ(document.GetSheet(3), nullptr);
    EXPECT_NE(document.GetSheet(2), nullptr);
}

TEST(XlsDocumentSheets, AddSheetRefusesAnExistingNarrowName) {
    XlsDocument document;
    document.New(2);
    EXPECT_EQ(document.AddSheet("Sheet1", -1), nullptr);
    EXPECT_EQ(document.AddSheet("Sheet2", 0), nullptr);
    EXPECT_EQ(document.SheetCount(), 2);
    EXPECT_EQ(document.Worksheets().size(), 2u);
    EXPECT_EQ(document.Globals().sheets.size(), 2u);
    // Names differ in case: a different sheet.
    EXPECT_NE(document.AddSheet("sheet1", -1), nullptr);
}

TEST(XlsDocumentSheets, AddSheetInsertsAndRenumbers) {
    XlsDocument document;
    document.New(2);
    XlsSheet* second = document.GetSheet(1);
    XlsSheet* added = document.AddSheet("Data", 1);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(SheetNames(document), (std::vector<std::string>{"Sheet1", "Data", "Sheet2"}));
    EXPECT_EQ(added->Index(), 1);
    EXPECT_EQ(document.GetSheet(1), added);
    EXPECT_EQ(document.GetSheet(2), second);
    EXPECT_EQ(second->Index(), 2);
    EXPECT_EQ(document.Worksheets()[1].window.options, 0x04B6);
    ExpectOneEmptyCell(added);
}

TEST(XlsDocumentSheets, AddSheetRefusesUnusableNamesAndPositions) {
    XlsDocument document;
    document.New(2);
    EXPECT_EQ(document.AddSheet(nullptr, -1), nullptr);
    EXPECT_EQ(document.AddSheet("", -1), nullptr);
    EXPECT_EQ(document.AddSheet("Far", 3), nullptr);
    EXPECT_EQ(document.AddSheet("Before", -2), nullptr);
    EXPECT_EQ(document.SheetCount(), 2);
    EXPECT_NE(document.AddSheet("Last", 2), nullptr);
    EXPECT_EQ(SheetNames(document), (std::vector<std::string>{"Sheet1", "Sheet2", "Last"}));
}

TEST(XlsSheetCell, GrowsColumnsFirstAndKeepsTheGridRectangular) {
    XlsDocument document;
    document.New(1);
    XlsSheet* sheet = document.GetSheet(0);
    sheet->Cell(0, 0)->SetString("kept");
    XlsCell* cell = sheet->Cell(5, 3);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(sheet->RowCount(), 6);
    EXPECT_EQ(sheet->ColumnCount(), 4);
    EXPECT_EQ(cell, &sheet->At(5, 3));
    EXPECT_EQ(sheet->At(0, 0).Text(), "kept");
    for (int r = 0; r < 6; ++r) {
        for (int k = 0; k < 4; ++k) {
            if (r != 0 || k != 0) {
                EXPECT_EQ(sheet->At(r, k).Type(), CellEmpty) << r << "," << k;
                EXPECT_EQ(sheet->At(r, k).XFIndex(), 0u);
                EXPECT_EQ(sheet->At(r, k).RowSpan(), 1);
                EXPECT_EQ(sheet->At(r, k).ColumnSpan(), 1);
            }
        }
    }
    // Reaching into the grid does not grow it.
    EXPECT_EQ(sheet->Cell(2, 1), &sheet->At(2, 1));
    EXPECT_EQ(sheet->RowCount(), 6);
}

TEST(XlsSheetCell, LimitsOfTheGrid) {
    XlsDocument document;
    document.New(1);
    XlsSheet* sheet = document.GetSheet(0);
    EXPECT_EQ(sheet->Cell(65536, 0), nullptr);
    EXPECT_EQ(sheet->Cell(0, 256), nullptr);
    EXPECT_EQ(sheet->Cell(-1, 0), nullptr);
    EXPECT_EQ(sheet->Cell(0, -1), nullptr);
    EXPECT_EQ(sheet->RowCount(), 1);
    EXPECT_EQ(sheet->ColumnCount(), 1);
    ASSERT_NE(sheet->Cell(65535, 1), nullptr);
    EXPECT_EQ(sheet->RowCount(), 65536);
    XlsSheet* other = document.AddSheet("Wide", -1);
    ASSERT_NE(other->Cell(1, 255), nullptr);
    EXPECT_EQ(other->ColumnCount(), 256);
}

// Rows beyond the first 32 are held in further chunks; widening moves every
// cell along with its row.
TEST(XlsSheetCell, WideningManyRowsKeepsEveryCell) {
    XlsDocument document;
    document.New(1);
    XlsSheet* sheet = document.GetSheet(0);
    for (int r = 0; r < 100; ++r) {
        sheet->Cell(r, r % 3)->SetInt(r);
    }
    for (int k = 3; k < 200; k += 7) {
        sheet->Cell(k % 100, k)->SetInt(-k);
    }
    ASSERT_EQ(sheet->ColumnCount(), 200);
    for (int r = 0; r < 100; ++r) {
        for (int k = 0; k < 200; ++k) {
            const bool set = k == r % 3 || (k >= 3 && (k - 3) % 7 == 0 && k % 100 == r);
            EXPECT_EQ(sheet->At(r, k).Type(), set ? CellInt : CellEmpty) << r << "," << k;
            EXPECT_EQ(sheet->At(r, k).IntValue(), set ? (k < 3 ? r : -k) : 0) << r << "," << k;
        }
    }
}

// Texts too long to be held in a cell move with it, and are freed once.
TEST(XlsSheetCell, WideningKeepsLongTexts) {
    XlsDocument document;
    document.New(1);
    XlsSheet* sheet = document.GetSheet(0);
    const std::string text(40, 'x');
    for (int r = 0; r < 70; ++r) {
        sheet->Cell(r, 0)->SetString((text + std::to_string(r)).c_str());
    }
    sheet->Cell(0, 1)->SetWideString(u"w");
    sheet->Cell(69, 150)->SetInt(1);
    for (int r = 0; r < 70; ++r) {
        EXPECT_EQ(sheet->At(r, 0).Text(), text + std::to_string(r));
    }
}

TEST(XlsCellText, SetStringKeepsTheTextAndEmptyTextEmptiesTheCell) {
    XlsCell cell;
    cell.SetXFIndex(17);
    cell.SetWideString(u"wide");
    cell.SetString("narrow");
    EXPECT_EQ(cell.Type(), CellString);
    EXPECT_EQ(cell.Text(), "narrow");
    EXPECT_TRUE(cell.WideText().empty());
    EXPECT_EQ(cell.XFIndex(), 17u);

    cell.SetString("");
    EXPECT_EQ(cell.Type(), CellEmpty);
    EXPECT_TRUE(cell.Text().empty());
    cell.SetString("again");
    cell.SetString(nullptr);
    EXPECT_EQ(cell.Type(), CellEmpty);
    EXPECT_EQ(cell.XFIndex(), 17u);
}

TEST(XlsCellText, SetWideStringEmptiesTheNarrowText) {
    XlsCell cell;
    cell.SetString("narrow");
    cell.SetWideString(u"\u00e9t\u00e9 \u65e5");
    EXPECT_EQ(cell.Type(), CellWString);
    EXPECT_EQ(cell.WideText(), u"\u00e9t\u00e9 \u65e5");
    EXPECT_TRUE(cell.Text().empty());
    cell.SetWideString(u"");
    EXPECT_EQ(cell.Type(), CellEmpty);
    EXPECT_TRUE(cell.WideText().empty());
}

// Texts of up to 22 bytes are held in the cell, longer ones apart: both
// survive moves, and another value lets go of them.
TEST(XlsCellText, TextsInPlaceAndApartSurviveMoves) {
    for (size_t length : {1, 21, 22, 23, 300}) {
        std::string text(length, ' ');
        for (size_t i = 0; i < length; ++i) {
            text[i] = static_cast<char>('a' + i % 26);
        }
        XlsCell cell;
        cell.SetString(text.c_str());
        XlsCell moved(std::move(cell));
        EXPECT_EQ(moved.Text(), text) << length;
        EXPECT_EQ(cell.Type(), CellEmpty);
        cell = std::move(moved);
        EXPECT_EQ(cell.Text(), text) << length;
        cell.SetInt(-5);
        EXPECT_EQ(cell.IntValue(), -5);
        EXPECT_TRUE(cell.Text().empty());
    }
}

struct RkCase {
    uint32_t rk;
    CellType type;
    double value;
};

TEST(XlsCellRK, DecodesEveryForm) {
    const RkCase cases[] = {
        {(5u << 2) | 2, CellInt, 5},                          // integer
        {(static_cast<uint32_t>(-7) << 2) | 2, CellInt, -7},  // negative integer
        {(1200u << 2) | 3, CellInt, 12},                      // integer / 100, whole
        {(1234u << 2) | 3, CellDouble, 12.34},                // integer / 100, with hundredths
        {(static_cast<uint32_t>(-150) << 2) | 3, CellDouble, -1.5},
        {0x3FF00000, CellDouble, 1.0},      // upper bits of 1.0
        {0x40590000 | 1, CellDouble, 1.0},  // 100.0 / 100
        {0xC0040000, CellDouble, -2.5},
        {(0x1FFFFFFFu << 2) | 2, CellInt, 536870911},  // largest 30-bit integer
        {0x80000002, CellInt, -536870912},             // smallest
    };
    for (const RkCase& c : cases) {
        XlsCell cell;
        cell.SetString("replaced");
        cell.SetRK(c.rk);
        EXPECT_EQ(cell.Type(), c.type) << std::hex << c.rk;
        if (c.type == CellInt) {
            EXPECT_EQ(cell.IntValue(), static_cast<int32_t>(c.value)) << std::hex << c.rk;
        } else {
            EXPECT_EQ(cell.DoubleValue(), c.value) << std::hex << c.rk;
        }
        EXPECT_TRUE(cell.Text().empty());
    }
}

TEST(XlsSheetLoad, RebuiltSheetsGiveBackTheConvertedCells) {
    XlsDocument document;
    document.New(2);
    XlsSheet* sheet = document.GetSheet(1);
    sheet->Cell(0, 0)->SetInt(3);
    sheet->Cell(0, 1)->SetInt(-4);
    sheet->Cell(0, 2)->SetDouble(2.25);
    sheet->Cell(1, 0)->SetDouble(3.14159);
    sheet->Cell(1, 1)->SetString("text");
    sheet->Cell(1, 2)->SetWideString(u"\u65e5");
    sheet->Cell(2, 3)->SetXFIndex(15);
    sheet->Cell(3, 0)->SetInt(1 << 29);
    document.ConvertSheets();
    document.RebuildSheets();

    const XlsSheet& loaded = *document.GetSheet(1);
    ASSERT_EQ(loaded.RowCount(), 4);
    ASSERT_EQ(loaded.ColumnCount(), 4);
    EXPECT_EQ(loaded.At(0, 0).IntValue(), 3);
    EXPECT_EQ(loaded.At(0, 1).IntValue(), -4);
    EXPECT_EQ(loaded.At(0, 2).DoubleValue(), 2.25);
    EXPECT_EQ(loaded.At(1, 0).DoubleValue(), 3.14159);
    EXPECT_EQ(loaded.At(1, 1).Text(), "text");
    EXPECT_EQ(loaded.At(1, 2).WideText(), u"\u65e5");
    EXPECT_EQ(loaded.At(2, 3).Type(), CellEmpty);
    EXPECT_EQ(loaded.At(2, 3).XFIndex(), 15u);
    // Outside the RK range: a NUMBER record, read back as a double.
    EXPECT_EQ(loaded.At(3, 0).Type(), CellDouble);
    EXPECT_EQ(loaded.At(3, 0).DoubleValue(), 536870912.0);
}

TEST(XlsSheetLoad, FormatOnlyRecordsGiveEmptyCellsWithTheirFormat) {
    XlsDocument document;
    document.New(1);
    Worksheet& worksheet = document.Worksheets()[0];
    worksheet.dimensions.lastRowPlusOne = 2;
    worksheet.dimensions.lastColumnPlusOne = 2;
    RowBlock& block = worksheet.cellTable.blocks.emplace_back();
    CellBlockRef run = MakeRef<CellBlock>();
    run->SetType(0x00BE);
    run->As<MulBlank>()->row = 1;
    run->As<MulBlank>()->xfIndices = {21, 22, 23};
    block.cells.push_back(run);
    CellBlockRef flag = MakeRef<CellBlock>();
    flag->SetType(0x0205);
    flag->As<BoolErr>()->column = 1;
    flag->As<BoolErr>()->xfIndex = 24;
    block.cells.push_back(flag);

    document.RebuildSheets();

    const XlsSheet& sheet = *document.GetSheet(0);
    ASSERT_EQ(sheet.RowCount(), 2);
    ASSERT_EQ(sheet.ColumnCount(), 3);
    EXPECT_EQ(sheet.At(1, 0).XFIndex(), 21u);
    EXPECT_EQ(sheet.At(1, 2).XFIndex(), 23u);
    EXPECT_EQ(sheet.At(0, 1).XFIndex(), 24u);
    EXPECT_EQ(sheet.At(0, 1).Type(), CellEmpty);
}

TEST(XlsCellFormula, AnotherValueLetsGoOfTheFormula) {
    XlsCell cell;
    cell.SetFormula(Formula());
    ASSERT_NE(cell.GetFormula(), nullptr);
    cell.SetString("text");
    EXPECT_EQ(cell.GetFormula(), nullptr);
    EXPECT_EQ(cell.Text(), "text");
}

TEST(XlsCellFormula, FormulaIsCopiedIntoItsRecordAtTheCellsPlace) {
    Formula source;
    source.row = 99;
    source.xfIndex = 3;
    source.expression = {0x1E, 0x2A, 0x00};
    source.cachedResult = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
    source.hasStringResult = true;
    source.string.text.SetNarrow("cached");
    XlsDocument document;
    document.New(1);
    XlsCell* cell = document.GetSheet(0)->Cell(2, 1);
    cell->SetFormula(source);
    cell->SetXFIndex(17);
    ASSERT_EQ(cell->Type(), CellFormula);

    document.ConvertSheets();

    const auto& cells = document.Worksheets()[0].cellTable.blocks[0].cells;
    const auto* formula = cells.at(5)->As<Formula>();
    ASSERT_NE(formula, nullptr);
    EXPECT_EQ(formula->row, 2);
    EXPECT_EQ(formula->column, 1);
    EXPECT_EQ(formula->xfIndex, 17);
    EXPECT_EQ(formula->expression, source.expression);
    EXPECT_EQ(formula->cachedResult, source.cachedResult);
    EXPECT_EQ(formula->string.text.Narrow(), "cached");
}

}  // namespace
}  // namespace xls

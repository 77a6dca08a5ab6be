// The whole workbook stream of a fixed mid-size document, pinned by length
// and hash: any change to the bytes the writer produces (record layout,
// CONTINUE placement, stream positions, string table order) shows up here.
// The document touches every kind of content the writer turns into records:
// 8-bit and UTF-16 texts (repeated ones too), integers and doubles in RK form
// alone and in runs, numbers only a NUMBER record holds, empty formatted
// cells, a formula, merged ranges, column widths, a user font and format,
// several row blocks and a shared string table over many CONTINUE records
// with strings split across them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "xls/FormatManager.h"
#include "xls/XlsDocument.h"

namespace xls {
namespace {

uint64_t Fnv1a(const std::vector<uint8_t>& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (uint8_t byte : bytes) {
        hash = (hash ^ byte) * 1099511628211ull;
    }
    return hash;
}

void FillTexts(XlsSheet& sheet, int rows) {
    sheet.Cell(0, 0)->SetString("DateTime");
    sheet.Cell(0, 1)->SetString("PPM.M");
    char time[32];
    char value[16];
    for (int i = 0; i < rows; ++i) {
        std::snprintf(time, sizeof time, "2024-%02d-%02d %02d:%02d:%02d", 1 + i % 12, 1 + i % 28,
                      i % 24, i % 60, (i * 7) % 60);
        std::snprintf(value, sizeof value, "%d", (i * 7919) % 1000 - 300);
        sheet.Cell(i + 1, 0)->SetString(time);
        sheet.Cell(i + 1, 1)->SetString(value);
    }
}

void FillNumbers(XlsSheet& sheet, int firstRow) {
    for (int r = firstRow; r < firstRow + 70; ++r) {
        sheet.Cell(r, 2)->SetInt(r * 13 - 400);
        sheet.Cell(r, 3)->SetInt(r);
        sheet.Cell(r, 4)->SetDouble(r / 4.0);
        sheet.Cell(r, 5)->SetDouble(r / 3.0);
        sheet.Cell(r, 6)->SetInt(r % 3 == 0 ? 0x20000000 + r : r);
        sheet.Cell(r, 7)->SetXFIndex(15 + r % 3);
    }
}

void FillLongTexts(XlsSheet& sheet) {
    std::string narrow(9000, 'n');
    for (size_t i = 0; i < narrow.size(); ++i) {
        narrow[i] = static_cast<char>('a' + i % 26);
    }
    sheet.Cell(3, 8)->SetString(narrow.c_str());
    std::u16string wide(12000, u'\x4E2D');
    for (size_t i = 0; i < wide.size(); i += 7) {
        wide[i] = static_cast<char16_t>(0x0400 + i % 200);
    }
    sheet.Cell(4, 8)->SetWideString(wide.c_str());
    std::u16string cut(32766, u'w');
    cut += u"\xD83D\xDE00";
    sheet.Cell(5, 8)->SetWideString(cut.c_str());
    sheet.Cell(6, 8)->SetWideString(u"\x00E9t\x00E9");
    sheet.Cell(7, 8)->SetString("2024-01-01 00:00:00");
    sheet.Cell(8, 8)->SetWideString(u"PPM.M");
}

void AddFormula(XlsSheet& sheet) {
    Formula formula;
    formula.expression = {0x1E, 0x2A, 0x00};
    formula.cachedResult = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
    sheet.Cell(9, 8)->SetFormula(formula);
    sheet.Cell(9, 8)->SetXFIndex(16);
}

void BuildDocument(XlsDocument& document) {
    document.New(3);
    FormatManager formats(document);
    formats.FindOrAddFont(FontDescription{u"Arial", 200, 700, 0, 0x7FFF, 0, 0, 0, 0});
    Format& format = document.Globals().formats.emplace_back();
    format.index = 164;
    format.text.SetNarrow("0.000");
    XlsSheet& first = *document.GetSheet(0);
    FillTexts(first, 3000);
    FillNumbers(first, 40);
    FillLongTexts(first);
    AddFormula(first);
    first.Cell(10, 8)->SetSpan(2, 3);
    first.ColumnInfos().entries.emplace_back();
    first.ColumnInfos().entries.back().lastColumn = 1;
    first.ColumnInfos().entries.back().width = 20 * 256;
    XlsSheet& second = *document.GetSheet(1);
    FillTexts(second, 40);
    second.Cell(50, 200)->SetWideString(u"\x65E5\x672C");
    second.Cell(1, 1)->SetSpan(65000, 300);
    document.AddSheet("Extra", 1)->Cell(0, 0)->SetDouble(-0.5);
}

TEST(StreamBytes, MidSizeWorkbookStreamIsUnchanged) {
    XlsDocument document;
    BuildDocument(document);
    const std::vector<uint8_t> stream = document.BuildStream();
    EXPECT_EQ(stream.size(), 590846u);
    EXPECT_EQ(Fnv1a(stream), 5331640348383528815ull);
}

TEST(StreamBytes, SavingTwiceGivesTheSameStream) {
    XlsDocument document;
    BuildDocument(document);
    const std::vector<uint8_t> first = document.BuildStream();
    EXPECT_EQ(document.BuildStream(), first);
}

}  // namespace
}  // namespace xls

// Property: for random records, record sets and shared string tables, the
// summed RecordSize equals the bytes written, the bytes split into physical
// records of at most 8224 data bytes, and the strings read back unchanged.
#include <gtest/gtest.h>

#include <random>

#include "tests/xls/records/RecordBytes.h"
#include "xls/Workbook.h"
#include "xls/Worksheet.h"
#include "xls/records/BoolErr.h"
#include "xls/records/Formula.h"
#include "xls/records/LabelSST.h"
#include "xls/records/MulBlank.h"
#include "xls/records/MulRK.h"
#include "xls/records/Number.h"

namespace xls {
namespace {

using test::Bytes;
using test::SplitRecords;
using test::WriteBytes;

class Random {
public:
    explicit Random(uint32_t seed) : engine_(seed) {}

    uint32_t Below(uint32_t bound) {
        return std::uniform_int_distribution<uint32_t>(0, bound - 1)(engine_);
    }
    bool Chance(uint32_t percent) { return Below(100) < percent; }

    uint32_t Length() {
        const uint32_t kind = Below(10);
        if (kind < 6) {
            return Below(40);
        }
        return kind < 9 ? Below(9000) : Below(40000);
    }

    LargeString Text() {
        const uint32_t length = Length();
        if (Chance(50)) {
            std::string text(length, ' ');
            for (char& c : text) {
                c = static_cast<char>(Below(256));
            }
            return LargeString(text);
        }
        std::u16string text(length, u' ');
        for (char16_t& unit : text) {
            unit = static_cast<char16_t>(1 + Below(0xFFFF));
        }
        return LargeString(text);
    }

    std::vector<uint8_t> ByteString(uint32_t maxLength) {
        std::vector<uint8_t> bytes(Below(maxLength));
        for (uint8_t& byte : bytes) {
            byte = static_cast<uint8_t>(Below(256));
        }
        return bytes;
    }

private:
    std::mt19937 engine_;
};

void ExpectPhysicalRecordsWithinLimit(const Bytes& bytes) {
    for (const auto& record : SplitRecords(bytes)) {
        EXPECT_LE(record.data.size(), Record::kMaxDataPerRecord) << "record " << record.code;
    }
}

SharedStringTable RandomTable(Random& random) {
    SharedStringTable sst;
    const uint32_t count = random.Below(30);
    for (uint32_t i = 0; i < count; ++i) {
        sst.strings.push_back(random.Text());
    }
    sst.uniqueCount = count;
    sst.totalCount = count + random.Below(1000);
    return sst;
}

TEST(RecordSizeProperty, SharedStringTablesReadBackUnchanged) {
    for (uint32_t seed = 1; seed <= 150; ++seed) {
        SCOPED_TRACE(seed);
        Random random(seed);
        SharedStringTable sst = RandomTable(random);
        const Bytes bytes = WriteBytes(sst);
        const auto records = SplitRecords(bytes);
        ExpectPhysicalRecordsWithinLimit(bytes);
        const auto content = test::SstReader(records).Read(sst.strings.size());
        EXPECT_EQ(content.uniqueCount, sst.uniqueCount);
        EXPECT_EQ(content.totalCount, sst.totalCount);
        ASSERT_EQ(content.entries.size(), sst.strings.size());
        for (size_t i = 0; i < sst.strings.size(); ++i) {
            EXPECT_EQ(content.entries[i].wide, sst.strings[i].IsWide()) << "string " << i;
            EXPECT_EQ(content.entries[i].wideText, sst.strings[i].Wide()) << "string " << i;
            EXPECT_EQ(content.entries[i].narrowText, sst.strings[i].Narrow()) << "string " << i;
        }
        EXPECT_EQ(WriteBytes(sst), bytes);
    }
}

void FillCell(Random& random, CellBlock& cell) {
    static const int16_t kCodes[] = {0x0006, 0x00BD, 0x00BE, 0x00FD,
                                     0x0201, 0x0203, 0x0205, 0x027E};
    cell.SetType(kCodes[random.Below(8)]);
    if (auto* mulRK = cell.As<MulRK>()) {
        mulRK->cells.resize(1 + random.Below(random.Chance(10) ? 3000 : 40));
    } else if (auto* mulBlank = cell.As<MulBlank>()) {
        mulBlank->xfIndices.resize(1 + random.Below(random.Chance(10) ? 6000 : 40));
    } else if (auto* formula = cell.As<Formula>()) {
        formula->expression = random.ByteString(random.Chance(10) ? 20000 : 50);
        static const int16_t kAttached[] = {-1, 0x0036, 0x00BC, 0x04BC, 0x0221, 0x1234};
        formula->attachedCode = kAttached[random.Below(6)];
        formula->shrFmla.expression = random.ByteString(9000);
        formula->shrFmla1.expression = random.ByteString(100);
        formula->array.expression = random.ByteString(9000);
        formula->hasStringResult = random.Chance(50);
        formula->string.text = random.Text();
    } else if (auto* number = cell.As<Number>()) {
        number->value = random.Below(1000) / 7.0;
    }
}

Worksheet RandomWorksheet(Random& random) {
    Worksheet sheet;
    sheet.colInfos.entries.resize(random.Below(4));
    const uint32_t blocks = 1 + random.Below(4);
    sheet.index.dbcellPositions.assign(blocks, 0);
    for (uint32_t b = 0; b < blocks; ++b) {
        RowBlock& block = sheet.cellTable.blocks.emplace_back();
        const uint32_t rows = 1 + random.Below(RowBlock::kRowsPerBlock);
        block.rows.resize(rows);
        block.dbcell.rowOffsets.assign(rows, 0);
        const uint32_t cells = random.Below(200);
        for (uint32_t c = 0; c < cells; ++c) {
            CellBlockRef cell = MakeRef<CellBlock>();
            FillCell(random, *cell);
            block.cells.push_back(cell);
        }
    }
    const uint32_t ranges = random.Chance(30) ? random.Below(3000) : random.Below(3);
    sheet.mergedCells.ranges.resize(ranges);
    return sheet;
}

Workbook RandomWorkbook(Random& random) {
    Workbook workbook;
    workbook.ResetToNewDocument();
    workbook.fonts.resize(1 + random.Below(5));
    workbook.fonts.back().name.SetWide(std::u16string(random.Below(400), u'f'));
    workbook.sheets.resize(1 + random.Below(5));
    workbook.sheets.back().name.SetNarrow(std::string(random.Below(400), 's'));
    workbook.formats.resize(random.Below(3));
    for (Format& format : workbook.formats) {
        format.index = static_cast<uint16_t>(160 + random.Below(10));
        format.text = random.Text();
    }
    workbook.styles.back().SetUserName(std::u16string(random.Below(400), u'y'));
    workbook.sst = RandomTable(random);
    return workbook;
}

TEST(RecordSizeProperty, WorksheetsSizeExactlyWhatTheyWrite) {
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        Random random(seed);
        Worksheet sheet = RandomWorksheet(random);
        const Bytes bytes = WriteBytes(sheet);
        ExpectPhysicalRecordsWithinLimit(bytes);
        EXPECT_EQ(WriteBytes(sheet), bytes);
    }
}

TEST(RecordSizeProperty, WholeStreamFitsTheSummedSizes) {
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE(seed);
        Random random(seed);
        Workbook workbook = RandomWorkbook(random);
        std::vector<Worksheet> sheets(workbook.sheets.size());
        for (Worksheet& sheet : sheets) {
            sheet = RandomWorksheet(random);
        }
        uint32_t total = workbook.RecordSize();
        for (Worksheet& sheet : sheets) {
            total += sheet.RecordSize();
        }
        Bytes stream(total);
        uint32_t written = workbook.Write(stream.data());
        for (Worksheet& sheet : sheets) {
            written += sheet.Write(stream.data() + written);
        }
        EXPECT_EQ(written, total);
        ExpectPhysicalRecordsWithinLimit(stream);
    }
}

}  // namespace
}  // namespace xls

#include "xls/Worksheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/xls/records/RecordBytes.h"
#include "xls/records/Blank.h"
#include "xls/records/LabelSST.h"
#include "xls/records/Number.h"

namespace xls {
namespace {

using test::SplitRecords;
using test::WriteBytes;

// One row with one empty cell, as a new sheet is converted.
Worksheet OneEmptyCell() {
    Worksheet sheet;
    sheet.index.lastRowPlusOne = 1;
    sheet.dimensions.lastRowPlusOne = 1;
    sheet.dimensions.lastColumnPlusOne = 1;
    RowBlock& block = sheet.cellTable.blocks.emplace_back();
    block.rows.emplace_back().lastColumnPlusOne = 1;
    block.dbcell.rowOffsets.push_back(0);
    CellBlockRef cell = MakeRef<CellBlock>();
    cell->SetType(0x0201);
    block.cells.push_back(cell);
    return sheet;
}

TEST(WorksheetSubstream, OneEmptyCellIs128BytesInStreamOrder) {
    Worksheet sheet = OneEmptyCell();
    EXPECT_EQ(sheet.SizeBeforeCellTable(), 20u + 24u + 18u);
    EXPECT_EQ(sheet.RecordSize(), 128u);
    const auto records = SplitRecords(WriteBytes(sheet));
    const std::vector<std::pair<uint16_t, size_t>> expected = {
        {0x0809, 16}, {0x020B, 20}, {0x0200, 14}, {0x0208, 16},
        {0x0201, 6},  {0x00D7, 6},  {0x023E, 18}, {0x000A, 0}};
    ASSERT_EQ(records.size(), expected.size());
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].code, expected[i].first) << "record " << i;
        EXPECT_EQ(records[i].data.size(), expected[i].second) << "record " << i;
    }
    EXPECT_EQ(records[0].data[2], 0x10);  // worksheet BOF
}

TEST(WorksheetSubstream, ColumnInfosAndMergedRangesTakeTheirPlaces) {
    Worksheet sheet = OneEmptyCell();
    sheet.colInfos.entries.resize(1);
    sheet.mergedCells.ranges.emplace_back(0, 1, 0, 1);
    EXPECT_EQ(sheet.SizeBeforeCellTable(), 20u + 24u + 16u + 18u);
    EXPECT_EQ(sheet.RecordSize(), 128u + 16u + 14u);
    const auto records = SplitRecords(WriteBytes(sheet));
    ASSERT_EQ(records.size(), 10u);
    EXPECT_EQ(records[2].code, 0x007D);
    EXPECT_EQ(records[3].code, 0x0200);
    EXPECT_EQ(records[8].code, 0x00E5);
    EXPECT_EQ(records[9].code, 0x000A);
}

TEST(RowBlocks, RowsThenCellsThenDBCell) {
    RowBlock block;
    for (uint16_t r = 0; r < 2; ++r) {
        block.rows.emplace_back().row = r;
        block.dbcell.rowOffsets.push_back(0);
        CellBlockRef label = MakeRef<CellBlock>();
        label->SetType(0x00FD);
        label->GetRecord()->row = r;
        block.cells.push_back(label);
        CellBlockRef number = MakeRef<CellBlock>();
        number->SetType(0x0203);
        number->GetRecord()->row = r;
        block.cells.push_back(number);
    }
    EXPECT_EQ(block.RowsSize(), 40u);
    EXPECT_EQ(block.CellsSize(), 2u * (14u + 18u));
    EXPECT_EQ(block.RecordSize(), 40u + 64u + 12u);
    const auto records = SplitRecords(WriteBytes(block));
    const std::vector<uint16_t> codes = {0x0208, 0x0208, 0x00FD, 0x0203, 0x00FD, 0x0203, 0x00D7};
    ASSERT_EQ(records.size(), codes.size());
    for (size_t i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(records[i].code, codes[i]) << "record " << i;
    }
    EXPECT_EQ(records[4].data[0], 1);  // second row's label
}

TEST(RowBlocks, CellTableWritesItsBlocksInOrder) {
    CellTable table;
    table.blocks.resize(3);
    for (uint16_t b = 0; b < 3; ++b) {
        table.blocks[b].rows.emplace_back().row = static_cast<uint16_t>(32 * b);
    }
    EXPECT_EQ(table.RecordSize(), 3u * (20u + 8u));
    const auto records = SplitRecords(WriteBytes(table));
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(test::U16At(records[4].data, 0), 64);
}

TEST(CellBlocks, SetTypeCreatesTheRecordKind) {
    const std::vector<std::pair<int16_t, uint32_t>> kinds = {
        {0x0006, 24}, {0x00BD, 10}, {0x00BE, 10}, {0x00FD, 14},
        {0x0201, 10}, {0x0203, 18}, {0x0205, 12}, {0x027E, 14}};
    for (const auto& [code, size] : kinds) {
        CellBlockRef cell = MakeRef<CellBlock>();
        cell->SetType(code);
        EXPECT_EQ(cell->Code(), code);
        ASSERT_NE(cell->GetRecord(), nullptr);
        EXPECT_EQ(cell->GetRecord()->Code(), static_cast<uint16_t>(code));
        EXPECT_EQ(cell->GetRecord()->RecordSize(), size) << "code " << code;
    }
}

TEST(CellBlocks, SameTypeKeepsTheRecordOtherTypeReplacesIt) {
    CellBlockRef cell = MakeRef<CellBlock>();
    cell->SetType(0x0203);
    cell->As<Number>()->value = 2.5;
    cell->SetType(0x0203);
    EXPECT_EQ(cell->As<Number>()->value, 2.5);
    cell->SetType(0x0201);
    EXPECT_EQ(cell->As<Number>(), nullptr);
    EXPECT_NE(cell->As<Blank>(), nullptr);
    cell->Reset();
    EXPECT_EQ(cell->Code(), CellBlock::kNone);
    EXPECT_EQ(cell->GetRecord(), nullptr);
}

TEST(CellBlocks, BlockWithoutARecordAddsNoBytes) {
    RowBlock block;
    CellBlockRef unknown = MakeRef<CellBlock>();
    unknown->SetType(0x1234);
    EXPECT_EQ(unknown->Code(), 0x1234);
    EXPECT_EQ(unknown->GetRecord(), nullptr);
    block.cells.push_back(unknown);
    block.cells.emplace_back();
    EXPECT_EQ(block.RecordSize(), 8u);
    EXPECT_EQ(WriteBytes(block).size(), 8u);
}

TEST(CellArena, BlocksAreAlignedAndApartAcrossChunks) {
    CellArena arena;
    std::vector<std::pair<unsigned char*, size_t>> blocks;
    for (size_t i = 0; i < 3000; ++i) {
        const size_t size = i % 500 == 0 ? 9000 : 1 + i % 50;
        auto* block = static_cast<unsigned char*>(arena.Allocate(size));
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 8, 0u) << i;
        std::memset(block, static_cast<int>(i % 251), size);
        blocks.emplace_back(block, size);
    }
    for (size_t i = 0; i < blocks.size(); ++i) {
        const auto [block, size] = blocks[i];
        EXPECT_EQ(std::count(block, block + size, i % 251), static_cast<ptrdiff_t>(size)) << i;
    }
}

// Leaks and early destruction show up in the sanitised build.
TEST(CellBlocks, HandlesShareTheBlockUntilTheLastGoes) {
    CellBlockRef first = MakeRef<CellBlock>();
    first->SetType(0x00FD);
    first->As<LabelSST>()->sstIndex = 9;
    {
        std::vector<CellBlockRef> copies(3, first);
        RowBlock block;
        block.cells.assign(copies.begin(), copies.end());
        RowBlock copy = block;
        EXPECT_EQ(copy.cells[2]->As<LabelSST>()->sstIndex, 9u);
    }
    EXPECT_EQ(first->As<LabelSST>()->sstIndex, 9u);
    CellBlockRef moved = std::move(first);
    EXPECT_FALSE(first);
    EXPECT_TRUE(moved);
}

}  // namespace
}  // namespace xls

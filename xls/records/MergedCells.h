// MERGEDCELLS (0x00E5): the merged cell ranges of a worksheet, at most 1027
// ranges per record (so that a record stays within 8224 data bytes); as many
// records as needed, none without ranges.
#pragma once

#include <cstdint>
#include <vector>

#include "xls/records/Record.h"

namespace xls {

class MergedCell {
public:
    MergedCell() = default;
    MergedCell(uint16_t rowFrom, uint16_t rowTo, uint16_t columnFrom, uint16_t columnTo)
        : firstRow(rowFrom), lastRow(rowTo), firstColumn(columnFrom), lastColumn(columnTo) {}
    virtual ~MergedCell() = default;
    MergedCell(const MergedCell&) = default;
    MergedCell& operator=(const MergedCell&) = default;

    // Writes the four values (8 bytes) and returns 8.
    virtual uint32_t Write(uint8_t* out) const;

    uint16_t firstRow = 0;
    uint16_t lastRow = 0;
    uint16_t firstColumn = 0;
    uint16_t lastColumn = 0;
};

class MergedCells : public Record {
public:
    static constexpr uint32_t kMaxRangesPerRecord = 1027;

    MergedCells();
    uint32_t Write(uint8_t* out) override;
    // Data bytes of all records together.
    uint32_t DataSize() override;
    uint32_t RecordSize() override;

    uint32_t RecordCount() const;

    std::vector<MergedCell> ranges;
};

}  // namespace xls

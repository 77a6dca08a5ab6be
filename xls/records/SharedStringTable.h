// SST (0x00FC): the shared string table. Every text cell (LABELSST) refers to
// a string by its index in this table. The table is usually longer than one
// physical record and places its own CONTINUE boundaries (see DataSize).
#pragma once

#include <vector>

#include "xls/BlockMemory.h"
#include "xls/records/BiffStrings.h"
#include "xls/records/Record.h"

namespace xls {

class SharedStringTable : public Record {
public:
    SharedStringTable();
    uint32_t Write(uint8_t* out) override;
    // Lays the strings out over CONTINUE records, stores the split points and
    // returns the data size.
    uint32_t DataSize() override;
    // 4 + data size + 4 for each split point.
    uint32_t RecordSize() override;

    void Clear();
    // Ascending data offsets at which a CONTINUE record begins, as the last
    // DataSize laid them out.
    const std::vector<uint32_t>& SplitPoints() const { return splitPoints_; }

    // Text cells of the workbook that refer to the table.
    uint32_t totalCount = 0;
    // Strings in the table.
    uint32_t uniqueCount = 0;
    // Held in large blocks: a workbook of many distinct texts has megabytes of them.
    std::vector<LargeString, BlockAllocator<LargeString>> strings;

private:
    std::vector<uint32_t> splitPoints_;
};

}  // namespace xls

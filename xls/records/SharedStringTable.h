// SST (0x00FC): the shared string table. Every text cell (LABELSST) refers to
// a string by its index in this table. The table is usually longer than one
// physical record and places its own CONTINUE boundaries (see DataSize).
#pragma once

#include <vector>

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

    void Clear();

    // Text cells of the workbook that refer to the table.
    uint32_t totalCount = 0;
    // Strings in the table.
    uint32_t uniqueCount = 0;
    std::vector<LargeString> strings;
};

}  // namespace xls

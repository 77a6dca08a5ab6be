// COLINFO (0x007D): width and default format of a range of columns.
// ColInfos is the worksheet's list of them; it writes no header of its own.
#pragma once

#include <vector>

#include "xls/records/Record.h"

namespace xls {

class ColInfo : public Record {
public:
    static constexpr uint32_t kDataSize = 12;

    ColInfo();
    uint32_t Write(uint8_t* out) override;

    uint16_t firstColumn = 0;
    uint16_t lastColumn = 0;
    // In 1/256 of the width of a character.
    uint16_t width = 0;
    uint16_t xfIndex = 0;
    uint16_t options = 0;
    uint16_t reserved = 0;
};

class ColInfos : public Record {
public:
    ColInfos();
    // Writes the COLINFO records one after the other; nothing when empty.
    uint32_t Write(uint8_t* out) override;
    uint32_t RecordSize() override;

    std::vector<ColInfo> entries;
};

}  // namespace xls

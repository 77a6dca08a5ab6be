// LABELSST (0x00FD): a text cell; the text is the shared string table entry at sstIndex.
#pragma once

#include "xls/records/CellRecord.h"

namespace xls {

class LabelSST : public CellRecord {
public:
    static constexpr uint32_t kDataSize = 10;

    LabelSST();
    uint32_t Write(uint8_t* out) override;

    uint16_t xfIndex = 0;
    uint32_t sstIndex = 0;
};

}  // namespace xls

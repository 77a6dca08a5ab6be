#include "xls/records/DBCell.h"

#include "xls/records/LittleEndian.h"

namespace xls {

DBCell::DBCell() : Record(0x00D7) {}

uint32_t DBCell::DataSize() {
    SetDataSize(4 + 2 * static_cast<uint32_t>(rowOffsets.size()));
    return Record::DataSize();
}

uint32_t DBCell::Write(uint8_t* out) {
    return WriteData(out, [this](uint8_t* d) {
        StoreU32(d + 0, firstRowOffset);
        for (size_t i = 0; i < rowOffsets.size(); ++i) {
            StoreU16(d + 4 + 2 * i, rowOffsets[i]);
        }
    });
}

}  // namespace xls

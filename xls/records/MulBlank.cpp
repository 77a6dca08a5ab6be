#include "xls/records/MulBlank.h"

#include "xls/records/LittleEndian.h"

namespace xls {

MulBlank::MulBlank() : CellRecord(0x00BE) {}

uint32_t MulBlank::DataSize() {
    SetDataSize(6 + 2 * static_cast<uint32_t>(xfIndices.size()));
    return Record::DataSize();
}

uint32_t MulBlank::Write(uint8_t* out) {
    return WriteData(out, [this](uint8_t* d) {
        StoreU16(d + 0, row);
        StoreU16(d + 2, column);
        size_t p = 4;
        for (uint16_t xfIndex : xfIndices) {
            StoreU16(d + p, xfIndex);
            p += 2;
        }
        StoreU16(d + p, lastColumn);
    });
}

}  // namespace xls

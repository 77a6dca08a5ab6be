#include "xls/records/MulRK.h"

#include "xls/records/LittleEndian.h"

namespace xls {

MulRK::MulRK() : CellRecord(0x00BD) {}

uint32_t MulRK::DataSize() {
    SetDataSize(6 + 6 * static_cast<uint32_t>(cells.size()));
    return Record::DataSize();
}

uint32_t MulRK::Write(uint8_t* out) {
    return WriteData(out, [this](uint8_t* d) {
        StoreU16(d + 0, row);
        StoreU16(d + 2, column);
        size_t p = 4;
        for (const MulRKCell& cell : cells) {
            StoreU16(d + p, cell.xfIndex);
            StoreU32(d + p + 2, cell.rkValue);
            p += 6;
        }
        StoreU16(d + p, lastColumn);
    });
}

}  // namespace xls

#include "xls/records/Blank.h"

#include "xls/records/LittleEndian.h"

namespace xls {

Blank::Blank() : CellRecord(0x0201, kDataSize) {}

uint32_t Blank::Write(uint8_t* out) {
    return WriteFixed<kDataSize>(out, [this](uint8_t* d) {
        StoreU16(d + 0, row);
        StoreU16(d + 2, column);
        StoreU16(d + 4, xfIndex);
    });
}

}  // namespace xls

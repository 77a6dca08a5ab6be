#include "xls/records/Number.h"

#include "xls/records/LittleEndian.h"

namespace xls {

Number::Number() : CellRecord(0x0203, kDataSize) {}

uint32_t Number::Write(uint8_t* out) {
    return WriteFixed<kDataSize>(out, [this](uint8_t* d) {
        StoreU16(d + 0, row);
        StoreU16(d + 2, column);
        StoreU16(d + 4, xfIndex);
        StoreDouble(d + 6, value);
    });
}

}  // namespace xls

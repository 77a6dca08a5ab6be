#include "xls/records/Dimensions.h"

#include "xls/records/LittleEndian.h"

namespace xls {

Dimensions::Dimensions() : Record(0x0200, kDataSize) {}

uint32_t Dimensions::Write(uint8_t* out) {
    return WriteFixed<kDataSize>(out, [this](uint8_t* d) {
        StoreU32(d + 0, firstRow);
        StoreU32(d + 4, lastRowPlusOne);
        StoreU16(d + 8, firstColumn);
        StoreU16(d + 10, lastColumnPlusOne);
        StoreU16(d + 12, reserved);
    });
}

}  // namespace xls

#include "xls/records/Row.h"

#include "xls/records/LittleEndian.h"

namespace xls {

Row::Row() : Record(0x0208, kDataSize) {}

uint32_t Row::Write(uint8_t* out) {
    return WriteFixed<kDataSize>(out, [this](uint8_t* d) {
        StoreU16(d + 0, row);
        StoreU16(d + 2, firstColumn);
        StoreU16(d + 4, lastColumnPlusOne);
        StoreU16(d + 6, height);
        StoreU16(d + 8, reserved1);
        StoreU16(d + 10, reserved2);
        StoreU32(d + 12, options);
    });
}

}  // namespace xls

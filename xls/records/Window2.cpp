#include "xls/records/Window2.h"

#include "xls/records/LittleEndian.h"

namespace xls {

Window2::Window2() : Record(0x023E, kDataSize) {}

uint32_t Window2::Write(uint8_t* out) {
    return WriteFixed<kDataSize>(out, [this](uint8_t* d) {
        StoreU16(d + 0, options);
        StoreU16(d + 2, firstVisibleRow);
        StoreU16(d + 4, firstVisibleColumn);
        StoreU16(d + 6, gridColourIndex);
        StoreU16(d + 8, reserved1);
        StoreU16(d + 10, pageBreakZoom);
        StoreU16(d + 12, normalZoom);
        StoreU32(d + 14, reserved2);
    });
}

}  // namespace xls

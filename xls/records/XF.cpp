#include "xls/records/XF.h"

#include "xls/records/LittleEndian.h"

namespace xls {

XF::XF() : Record(0x00E0, kDataSize) {}

uint32_t XF::Write(uint8_t* out) {
    return WriteFixed<kDataSize>(out, [this](uint8_t* d) {
        StoreU16(d + 0, fontIndex);
        StoreU16(d + 2, formatIndex);
        StoreU16(d + 4, protection);
        StoreU8(d + 6, alignment);
        StoreU8(d + 7, rotation);
        StoreU8(d + 8, textOptions);
        StoreU8(d + 9, usedAttributes);
        StoreU32(d + 10, borderLines);
        StoreU32(d + 14, borderColoursAndFill);
        StoreU16(d + 18, fillColours);
    });
}

}  // namespace xls

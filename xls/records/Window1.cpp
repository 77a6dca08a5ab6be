#include "xls/records/Window1.h"

#include "xls/records/LittleEndian.h"

namespace xls {

Window1::Window1() : Record(0x003D, kDataSize) {}

uint32_t Window1::Write(uint8_t* out) {
    return WriteFixed<kDataSize>(out, [this](uint8_t* d) {
        StoreU16(d + 0, left);
        StoreU16(d + 2, top);
        StoreU16(d + 4, width);
        StoreU16(d + 6, height);
        StoreU16(d + 8, options);
        StoreU16(d + 10, activeSheet);
        StoreU16(d + 12, firstVisibleTab);
        StoreU16(d + 14, selectedSheets);
        StoreU16(d + 16, tabBarWidth);
    });
}

}  // namespace xls

#include "xls/records/RK.h"

#include "xls/records/LittleEndian.h"

namespace xls {

RK::RK() : CellRecord(0x027E, kDataSize) {}

uint32_t RK::Write(uint8_t* out) {
    return WriteFixed<kDataSize>(out, [this](uint8_t* d) {
        StoreU16(d + 0, row);
        StoreU16(d + 2, column);
        StoreU16(d + 4, xfIndex);
        StoreU32(d + 6, rkValue);
    });
}

}  // namespace xls

#include "xls/records/BoolErr.h"

#include "xls/records/LittleEndian.h"

namespace xls {

BoolErr::BoolErr() : CellRecord(0x0205, kDataSize) {}

uint32_t BoolErr::Write(uint8_t* out) {
    return WriteFixed<kDataSize>(out, [this](uint8_t* d) {
        StoreU16(d + 0, row);
        StoreU16(d + 2, column);
        StoreU16(d + 4, xfIndex);
        StoreU8(d + 6, value);
        StoreU8(d + 7, isError);
    });
}

}  // namespace xls

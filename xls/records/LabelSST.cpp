#include "xls/records/LabelSST.h"

#include "xls/records/LittleEndian.h"

namespace xls {

LabelSST::LabelSST() : CellRecord(0x00FD, kDataSize) {}

uint32_t LabelSST::Write(uint8_t* out) {
    return WriteFixed<kDataSize>(out, [this](uint8_t* d) {
        StoreU16(d + 0, row);
        StoreU16(d + 2, column);
        StoreU16(d + 4, xfIndex);
        StoreU32(d + 6, sstIndex);
    });
}

}  // namespace xls

#include "xls/records/BOF.h"

#include "xls/records/LittleEndian.h"

namespace xls {

BOF::BOF(uint16_t type) : Record(0x0809, kDataSize), substreamType(type) {}

uint32_t BOF::Write(uint8_t* out) {
    return WriteFixed<kDataSize>(out, [this](uint8_t* d) {
        StoreU16(d + 0, version);
        StoreU16(d + 2, substreamType);
        StoreU16(d + 4, build);
        StoreU16(d + 6, buildYear);
        StoreU32(d + 8, fileHistory);
        StoreU32(d + 12, lowestVersion);
    });
}

}  // namespace xls

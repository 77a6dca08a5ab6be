#include "xls/records/ColInfo.h"

#include "xls/records/LittleEndian.h"

namespace xls {

ColInfo::ColInfo() : Record(0x007D, kDataSize) {}

uint32_t ColInfo::Write(uint8_t* out) {
    return WriteFixed<kDataSize>(out, [this](uint8_t* d) {
        StoreU16(d + 0, firstColumn);
        StoreU16(d + 2, lastColumn);
        StoreU16(d + 4, width);
        StoreU16(d + 6, xfIndex);
        StoreU16(d + 8, options);
        StoreU16(d + 10, reserved);
    });
}

ColInfos::ColInfos() : Record(0, 0) {}

uint32_t ColInfos::Write(uint8_t* out) {
    uint32_t written = 0;
    for (ColInfo& entry : entries) {
        written += entry.Write(out + written);
    }
    return written;
}

uint32_t ColInfos::RecordSize() {
    uint64_t total = 0;
    for (ColInfo& entry : entries) {
        total += entry.RecordSize();
    }
    return ClampedSize(total);
}

}  // namespace xls

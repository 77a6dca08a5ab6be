#include "xls/records/BoundSheet.h"

#include "xls/records/LittleEndian.h"

namespace xls {

BoundSheet::BoundSheet() : Record(0x0085) {}

uint32_t BoundSheet::DataSize() {
    SetDataSize(6 + name.ByteLength());
    return Record::DataSize();
}

uint32_t BoundSheet::Write(uint8_t* out) {
    return WriteData(out, [this](uint8_t* d) {
        StoreU32(d + 0, streamPosition);
        StoreU8(d + 4, visibility);
        StoreU8(d + 5, sheetType);
        name.Write(d + 6);
    });
}

}  // namespace xls

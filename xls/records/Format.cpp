#include "xls/records/Format.h"

#include "xls/records/LittleEndian.h"

namespace xls {

Format::Format() : Record(0x041E) {}

uint32_t Format::DataSize() {
    SetDataSize(2 + text.ByteLength());
    return Record::DataSize();
}

uint32_t Format::Write(uint8_t* out) {
    return WriteData(out, [this](uint8_t* d) {
        StoreU16(d + 0, index);
        text.Write(d + 2);
    });
}

}  // namespace xls

#include "xls/records/Font.h"

#include "xls/records/LittleEndian.h"

namespace xls {

Font::Font() : Record(0x0031) {}

uint32_t Font::DataSize() {
    SetDataSize(14 + name.ByteLength());
    return Record::DataSize();
}

uint32_t Font::Write(uint8_t* out) {
    return WriteData(out, [this](uint8_t* d) {
        StoreU16(d + 0, height);
        StoreU16(d + 2, options);
        StoreU16(d + 4, colourIndex);
        StoreU16(d + 6, weight);
        StoreU16(d + 8, escapement);
        StoreU8(d + 10, underline);
        StoreU8(d + 11, family);
        StoreU8(d + 12, characterSet);
        StoreU8(d + 13, reserved);
        name.Write(d + 14);
    });
}

}  // namespace xls

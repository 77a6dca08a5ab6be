#include "xls/records/Style.h"

#include "xls/records/LittleEndian.h"

namespace xls {

Style::Style() : Record(0x0293) {
    name.SetOptions(0xFF);
}

void Style::SetUserName(const std::u16string& text) {
    name.SetWide(LimitUtf16(text, kMaxNameCharacters));
    xfIndexAndFlags &= static_cast<uint16_t>(~kBuiltIn);
}

void Style::SetUserName(const std::string& text) {
    name.SetNarrow(text.substr(0, kMaxNameCharacters));
    xfIndexAndFlags &= static_cast<uint16_t>(~kBuiltIn);
}

uint32_t Style::DataSize() {
    SetDataSize(IsBuiltIn() ? 4 : 2 + name.ByteLength());
    return Record::DataSize();
}

uint32_t Style::Write(uint8_t* out) {
    return WriteData(out, [this](uint8_t* d) {
        StoreU16(d + 0, xfIndexAndFlags);
        if (IsBuiltIn()) {
            StoreU8(d + 2, builtInId);
            StoreU8(d + 3, outlineLevel);
        } else {
            name.Write(d + 2);
        }
    });
}

}  // namespace xls

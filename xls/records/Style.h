// STYLE (0x0293): a named cell style bound to a style XF. A built-in style
// (bit 15 of the first field) is named by its identifier, a user style by text.
#pragma once

#include "xls/records/BiffStrings.h"
#include "xls/records/Record.h"

namespace xls {

class Style : public Record {
public:
    static constexpr uint16_t kBuiltIn = 0x8000;
    static constexpr size_t kMaxNameCharacters = 255;

    Style();
    uint32_t Write(uint8_t* out) override;
    uint32_t DataSize() override;

    bool IsBuiltIn() const { return (xfIndexAndFlags & kBuiltIn) != 0; }
    // Turns the style into a user style with this name, cut to 255 characters.
    void SetUserName(const std::u16string& text);
    void SetUserName(const std::string& text);

    uint16_t xfIndexAndFlags = kBuiltIn;
    uint8_t builtInId = 0;
    uint8_t outlineLevel = 0xFF;
    LargeString name;
};

}  // namespace xls

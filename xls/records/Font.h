// FONT (0x0031): one entry of the workbook's font list; cell formats (XF)
// refer to fonts by their position in that list.
#pragma once

#include "xls/records/BiffStrings.h"
#include "xls/records/Record.h"

namespace xls {

class Font : public Record {
public:
    Font();
    uint32_t Write(uint8_t* out) override;
    uint32_t DataSize() override;

    uint16_t height = 200;
    uint16_t options = 0;
    uint16_t colourIndex = 0x7FFF;
    uint16_t weight = 400;
    uint16_t escapement = 0;
    uint8_t underline = 0;
    uint8_t family = 0;
    uint8_t characterSet = 0;
    uint8_t reserved = 0;
    SmallString name{std::u16string(u"Arial")};
};

}  // namespace xls

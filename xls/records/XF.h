// XF (0x00E0): an extended cell format; cell records carry its index. It ties
// a font and a number format to alignment, borders and fill.
#pragma once

#include "xls/records/Record.h"

namespace xls {

class XF : public Record {
public:
    static constexpr uint32_t kDataSize = 20;

    XF();
    uint32_t Write(uint8_t* out) override;

    uint16_t fontIndex = 0;
    uint16_t formatIndex = 0;
    // Bit 0 locked, bit 1 hidden, bit 2 style XF, bit 3 prefix, bits 4-15 parent.
    uint16_t protection = 0xFFF5;
    uint8_t alignment = 0x20;
    uint8_t rotation = 0;
    uint8_t textOptions = 0;
    uint8_t usedAttributes = 0;
    uint32_t borderLines = 0;
    uint32_t borderColoursAndFill = 0;
    uint16_t fillColours = 0x20C0;
};

}  // namespace xls

// WINDOW2 (0x023E): how a worksheet is shown: grid lines, headers, zero
// values, whether the sheet is selected and displayed, scroll position.
#pragma once

#include "xls/records/Record.h"

namespace xls {

class Window2 : public Record {
public:
    static constexpr uint32_t kDataSize = 18;

    static constexpr uint16_t kSelected = 0x0200;

    Window2();
    uint32_t Write(uint8_t* out) override;

    // Grid lines, headers, zero values, automatic grid colour, outline
    // symbols, selected, displayed.
    uint16_t options = 0x06B6;
    uint16_t firstVisibleRow = 0;
    uint16_t firstVisibleColumn = 0;
    uint16_t gridColourIndex = 0x0040;
    uint16_t reserved1 = 0;
    uint16_t pageBreakZoom = 0;
    uint16_t normalZoom = 0;
    uint32_t reserved2 = 0;
};

}  // namespace xls

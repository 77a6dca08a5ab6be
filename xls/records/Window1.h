// WINDOW1 (0x003D): position and size of the workbook window, the scroll bars
// and sheet tabs shown, and which sheet tab is active.
#pragma once

#include "xls/records/Record.h"

namespace xls {

class Window1 : public Record {
public:
    static constexpr uint32_t kDataSize = 18;

    Window1();
    uint32_t Write(uint8_t* out) override;

    uint16_t left = 0x0078;
    uint16_t top = 0x0078;
    uint16_t width = 0x3B1F;
    uint16_t height = 0x2454;
    uint16_t options = 0x0038;
    uint16_t activeSheet = 0;
    uint16_t firstVisibleTab = 0;
    uint16_t selectedSheets = 1;
    uint16_t tabBarWidth = 0x0258;
};

}  // namespace xls

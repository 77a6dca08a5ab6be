// BOF (0x0809): beginning of a substream. Tells a reader the BIFF version and
// whether the workbook globals (0x0005) or a worksheet (0x0010) follow.
#pragma once

#include "xls/records/Record.h"

namespace xls {

class BOF : public Record {
public:
    static constexpr uint32_t kDataSize = 16;

    static constexpr uint16_t kWorkbookGlobals = 0x0005;
    static constexpr uint16_t kWorksheet = 0x0010;

    explicit BOF(uint16_t substreamType);
    uint32_t Write(uint8_t* out) override;

    uint16_t version = 0x0600;
    uint16_t substreamType;
    uint16_t build = 0x19A0;
    uint16_t buildYear = 0x07CD;
    uint32_t fileHistory = 0x0000C0C9;
    uint32_t lowestVersion = 0x00000306;
};

}  // namespace xls

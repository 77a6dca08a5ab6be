// FORMAT (0x041E): a number format of the workbook, its index and format text.
// Indices below 164 are the formats built into every reader and are not written.
#pragma once

#include "xls/records/BiffStrings.h"
#include "xls/records/Record.h"

namespace xls {

class Format : public Record {
public:
    static constexpr uint16_t kFirstUserIndex = 164;

    Format();
    uint32_t Write(uint8_t* out) override;
    uint32_t DataSize() override;

    bool IsWritten() const { return index >= kFirstUserIndex; }

    uint16_t index = 0;
    LargeString text;
};

}  // namespace xls

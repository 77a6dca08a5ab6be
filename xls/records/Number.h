// NUMBER (0x0203): a numeric cell holding an IEEE-754 double.
#pragma once

#include "xls/records/CellRecord.h"

namespace xls {

class Number : public CellRecord {
public:
    static constexpr uint32_t kDataSize = 14;

    Number();
    uint32_t Write(uint8_t* out) override;

    uint16_t xfIndex = 0;
    double value = 0.0;
};

}  // namespace xls

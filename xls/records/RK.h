// RK (0x027E): a numeric cell in the compact 32-bit RK form.
//
// RK value: bit 0 set means the number is divided by 100; bit 1 set means bits
// 2-31 are a signed 30-bit integer, clear means they are the upper 30 bits of
// an IEEE-754 double whose other bits are zero.
#pragma once

#include "xls/records/CellRecord.h"

namespace xls {

class RK : public CellRecord {
public:
    static constexpr uint32_t kDataSize = 10;

    RK();
    uint32_t Write(uint8_t* out) override;

    uint16_t xfIndex = 0;
    uint32_t rkValue = 0;
};

}  // namespace xls

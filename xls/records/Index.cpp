#include "xls/records/Index.h"

#include "xls/records/LittleEndian.h"

namespace xls {

Index::Index() : Record(0x020B) {}

uint32_t Index::DataSize() {
    SetDataSize(16 + 4 * static_cast<uint32_t>(dbcellPositions.size()));
    return Record::DataSize();
}

uint32_t Index::Write(uint8_t* out) {
    return WriteData(out, [this](uint8_t* d) {
        StoreU32(d + 0, reserved1);
        StoreU32(d + 4, static_cast<uint32_t>(firstRow));
        StoreU32(d + 8, static_cast<uint32_t>(lastRowPlusOne));
        StoreU32(d + 12, reserved2);
        for (size_t i = 0; i < dbcellPositions.size(); ++i) {
            StoreU32(d + 16 + 4 * i, dbcellPositions[i]);
        }
    });
}

}  // namespace xls

#include "xls/records/MergedCells.h"

#include <algorithm>

#include "xls/records/LittleEndian.h"

namespace xls {

uint32_t MergedCell::Write(uint8_t* out) const {
    StoreU16(out + 0, firstRow);
    StoreU16(out + 2, lastRow);
    StoreU16(out + 4, firstColumn);
    StoreU16(out + 6, lastColumn);
    return 8;
}

MergedCells::MergedCells() : Record(0x00E5) {}

uint32_t MergedCells::RecordCount() const {
    const auto n = static_cast<uint32_t>(ranges.size());
    return (n + kMaxRangesPerRecord - 1) / kMaxRangesPerRecord;
}

uint32_t MergedCells::DataSize() {
    SetDataSize(2 * RecordCount() + 8 * static_cast<uint32_t>(ranges.size()));
    return Record::DataSize();
}

uint32_t MergedCells::RecordSize() {
    return kHeaderSize * RecordCount() + DataSize();
}

uint32_t MergedCells::Write(uint8_t* out) {
    uint32_t p = 0;
    size_t done = 0;
    while (done < ranges.size()) {
        const auto m =
            static_cast<uint16_t>(std::min<size_t>(ranges.size() - done, kMaxRangesPerRecord));
        StoreU16(out + p, Code());
        StoreU16(out + p + 2, static_cast<uint16_t>(2 + 8 * m));
        StoreU16(out + p + 4, m);
        p += 6;
        for (size_t i = done; i < done + m; ++i) {
            p += ranges[i].Write(out + p);
        }
        done += m;
    }
    return p;
}

}  // namespace xls

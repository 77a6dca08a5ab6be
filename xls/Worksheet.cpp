#include "xls/Worksheet.h"

namespace xls {

uint64_t Worksheet::SizeBeforeCellTable() {
    return uint64_t{bof.RecordSize()} + index.RecordSize() + colInfos.RecordSize() +
           dimensions.RecordSize();
}

uint64_t Worksheet::SizeAfterCellTable() {
    return uint64_t{window.RecordSize()} + mergedCells.RecordSize() + eof.RecordSize();
}

uint64_t Worksheet::RecordSize() {
    return SizeBeforeCellTable() + cellTable.RecordSize() + SizeAfterCellTable();
}

uint32_t Worksheet::Write(uint8_t* out) {
    uint32_t p = bof.Write(out);
    p += index.Write(out + p);
    p += colInfos.Write(out + p);
    p += dimensions.Write(out + p);
    p += cellTable.Write(out + p);
    p += window.Write(out + p);
    p += mergedCells.Write(out + p);
    return p + eof.Write(out + p);
}

}  // namespace xls

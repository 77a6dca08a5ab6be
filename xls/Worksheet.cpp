#include "xls/Worksheet.h"

namespace xls {

uint32_t Worksheet::SizeBeforeCellTable() {
    return bof.RecordSize() + index.RecordSize() + colInfos.RecordSize() + dimensions.RecordSize();
}

uint32_t Worksheet::SizeAfterCellTable() {
    return window.RecordSize() + mergedCells.RecordSize() + eof.RecordSize();
}

uint32_t Worksheet::RecordSize() {
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

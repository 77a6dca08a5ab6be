// The record set of one worksheet substream, members in stream order. Its
// sizes are summed in 64 bits: a substream past the 32-bit range shows its
// true size, which the save refuses, instead of wrapping around.
#pragma once

#include <cstdint>

#include "xls/CellTable.h"
#include "xls/records/BOF.h"
#include "xls/records/ColInfo.h"
#include "xls/records/Dimensions.h"
#include "xls/records/Index.h"
#include "xls/records/MergedCells.h"
#include "xls/records/Window2.h"
#include "xls/records/YEOF.h"

namespace xls {

class Worksheet {
public:
    // Bytes of BOF, INDEX, COLINFO records and DIMENSIONS: the offset of the
    // first row block from the start of the substream.
    uint64_t SizeBeforeCellTable();
    // Bytes of WINDOW2, MERGEDCELLS records and EOF, behind the cell table.
    uint64_t SizeAfterCellTable();
    // Bytes of the whole substream.
    uint64_t RecordSize();
    // Writes the substream in stream order and returns its length.
    uint32_t Write(uint8_t* out);

    BOF bof{BOF::kWorksheet};
    Index index;
    ColInfos colInfos;
    Dimensions dimensions;
    CellTable cellTable;
    Window2 window;
    MergedCells mergedCells;
    YEOF eof;
};

}  // namespace xls

// The record set of the workbook-globals substream: window, fonts, number
// formats, cell formats, styles, one BOUNDSHEET per worksheet and the shared
// string table, framed by BOF and EOF. Its size is summed in 64 bits, as a
// worksheet's is.
#pragma once

#include <cstdint>
#include <vector>

#include "xls/records/BOF.h"
#include "xls/records/BoundSheet.h"
#include "xls/records/Font.h"
#include "xls/records/Format.h"
#include "xls/records/SharedStringTable.h"
#include "xls/records/Style.h"
#include "xls/records/Window1.h"
#include "xls/records/XF.h"
#include "xls/records/YEOF.h"

namespace xls {

class Workbook {
public:
    static constexpr size_t kNewDocumentFonts = 1;
    static constexpr size_t kNewDocumentXFs = 21;
    static constexpr size_t kNewDocumentStyles = 6;
    static constexpr size_t kNewDocumentSheets = 1;

    // A freshly constructed set has empty lists.
    Workbook() = default;

    // Replaces the whole set by the content of a new document: one "Arial"
    // font, 21 default XFs, 6 built-in Normal styles and one sheet "Sheet1".
    void ResetToNewDocument();
    // True when the set holds the FONT, XF and STYLE records every workbook
    // needs; a freshly constructed set holds none.
    bool HoldsFormatRecords() const;

    // Bytes of the globals substream; the stream position of the first worksheet.
    uint64_t RecordSize();
    // Writes the substream at `out` in stream order and returns its length.
    uint32_t Write(uint8_t* out);

    BOF bof{BOF::kWorkbookGlobals};
    Window1 window;
    std::vector<Font> fonts;
    // Only entries with an index of 164 or more are written.
    std::vector<Format> formats;
    std::vector<XF> xfs;
    std::vector<Style> styles;
    // BOUNDSHEET i describes worksheet i.
    std::vector<BoundSheet> sheets;
    SharedStringTable sst;
    YEOF eof;
};

}  // namespace xls

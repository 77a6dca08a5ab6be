// The in-memory workbook: sheets of typed cells (XlsSheet, XlsCell) together
// with the BIFF8 records they turn into on save: the workbook-globals record
// set and one worksheet record set per sheet. The cells are the only source
// of content; every save rebuilds the worksheet records and the shared
// string table from them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "xls/CompoundStore.h"
#include "xls/Workbook.h"
#include "xls/Worksheet.h"
#include "xls/XlsError.h"
#include "xls/XlsSheet.h"

namespace xls {

class XlsDocument {
public:
    // No sheets until New is called.
    XlsDocument() = default;
    ~XlsDocument();
    XlsDocument(const XlsDocument&) = delete;
    XlsDocument& operator=(const XlsDocument&) = delete;

    // Starts a new workbook with `sheetCount` empty sheets (at least one),
    // named "Sheet1", "Sheet2", ...; each holds one empty cell.
    void New(unsigned sheetCount);
    // The sheet at `index`; null outside the sheet list.
    XlsSheet* GetSheet(int index);
    // Adds a sheet named `name` (8-bit text) at `position`, or at the end for
    // -1. Null, and nothing changed, when a sheet of that name exists, when
    // the name is null or empty, or when the position lies outside 0 to the
    // sheet count.
    XlsSheet* AddSheet(const char* name, int position);
    int SheetCount() const { return static_cast<int>(sheets_.size()); }

    // Writes the workbook as the stream "Workbook" of a compound file at
    // `path`. The file appears (or replaces an existing one) only when
    // everything was written; on any failure the target is left as it was,
    // nothing else is left behind and the result is false. A document
    // without sheets or without the globals New sets up (fonts, XFs,
    // styles) is not saved, nor is one whose stream passes the limits of
    // the format (see WriteRecordSets).
    bool SaveAs(const char16_t* path);
    // Why the last SaveAs failed (kept after Close); Ok after one that
    // succeeded. A document that cannot be saved as it is gives an invalid
    // request, a stream past the format's limits a file too large.
    const SaveError& LastError() const { return lastError_; }
    // Releases the compound file; harmless when none is open.
    void Close();

    // The workbook stream: converts the sheets, then writes the record sets.
    std::vector<uint8_t> BuildStream();
    // The workbook stream of the record sets as they are, without converting
    // the sheets: lays out the stream positions and writes every record into
    // one block of exactly the summed record sizes. Empty, before anything is
    // allocated, when the stream would be longer than a compound file holds
    // or a DBCELL offset would not fit its field; empty too if the written
    // bytes disagree with the sizes.
    std::vector<uint8_t> WriteRecordSets();

    // Rebuilds every worksheet record set and the shared string table from
    // the sheets.
    void ConvertSheets();
    // Recreates every sheet from its worksheet record set.
    void RebuildSheets();

    Workbook& Globals() { return workbook_; }
    std::vector<Worksheet>& Worksheets() { return worksheets_; }

private:
    bool Save();
    bool Fail(const SaveError& error);
    std::optional<uint64_t> LayOutStream();
    bool WriteRecords(uint8_t* out, uint64_t total);

    CompoundStore store_;
    Workbook workbook_;
    std::vector<Worksheet> worksheets_;
    std::vector<XlsSheetRef> sheets_;
    SaveError lastError_;
};

}  // namespace xls

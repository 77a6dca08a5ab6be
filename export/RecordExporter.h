#pragma once

#include <string>

#include "link/DetectorRecord.h"
#include "xls/XlsError.h"

namespace xls {
class XlsDocument;
class XlsSheet;
}  // namespace xls

// Writes the record store to a workbook: a header row and one row of two text
// cells (time, value in the chosen unit) per record, in store order. A sheet
// takes 65535 records below its header; more records continue on the next
// sheet, which starts with the same header. Lives for one export.
class RecordExporter {
public:
    RecordExporter();
    ~RecordExporter();
    RecordExporter(const RecordExporter&) = delete;
    RecordExporter& operator=(const RecordExporter&) = delete;

    // Builds the workbook and saves it at `path`; false when the file could
    // not be written (an existing file of that name is then left as it was).
    bool exportRecords(const RecordStore& records, const std::u16string& path, int unitIndex);
    // Why the last exportRecords failed; Ok after one that succeeded.
    const xls::SaveError& lastError() const;

    // The value as written to the workbook: the unit's value text, the same
    // number the log shows (without the log's zero fill for PPM.M).
    static std::string valueText(int value, int unitIndex);

    // "%LEL.M" for unit 1, "VOL.M" for unit 2, "PPM.M" otherwise.
    static const char* unitHeader(int unitIndex);

private:
    xls::XlsSheet* sheetForPart(int part);
    void writeHeader(xls::XlsSheet* sheet, int unitIndex);
    void registerHeaderFont();

    xls::XlsDocument* m_document;
    xls::XlsSheet* m_sheet = nullptr;
};

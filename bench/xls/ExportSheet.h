// The export workload's first sheet in the workbook model: the header row,
// a bold font, and ROWS rows of a time stamp text and a value text.
#pragma once

#include "ExportWorkload.h"
#include "xls/FormatManager.h"
#include "xls/XlsDocument.h"

namespace workload {

inline void FillSheet(xls::XlsDocument& document, long rows) {
    xls::XlsSheet* sheet = document.GetSheet(0);
    sheet->Cell(0, 0)->SetString(kTimeHeader);
    sheet->Cell(0, 1)->SetString(kValueHeader);
    xls::FormatManager formats(document);
    formats.FindOrAddFont(xls::FontDescription{u"Arial", 200, 700, 0, 0x7FFF, 0, 0, 0, 0});
    char time[32];
    char value[16];
    for (long i = 0; i < rows; ++i) {
        const int row = static_cast<int>(i + 1);
        xls::XlsCell* timeCell = sheet->Cell(row, 0);
        if (timeCell == nullptr) {
            break;
        }
        FormatTime(i, time, sizeof time);
        timeCell->SetString(time);
        FormatValue(i, value, sizeof value);
        sheet->Cell(row, 1)->SetString(value);
    }
}

}  // namespace workload

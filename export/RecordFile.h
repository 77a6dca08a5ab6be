#pragma once

#include <string>

#include "link/DetectorRecord.h"
#include "xls/XlsError.h"

// The exports by file name: a name ending in ".csv" (in any case) gets a CSV
// file, any other name a workbook.

bool isCsvFileName(const std::u16string& path);

// Writes the records to `path` in the format its name asks for; false when
// the file could not be written (an existing file of that name is then left
// as it was). Then `error`, when given, tells why; xls::SaveErrorText puts
// that in words.
bool saveRecordFile(const RecordStore& records, const std::u16string& path, int unitIndex,
                    xls::SaveError* error = nullptr);

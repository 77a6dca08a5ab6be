#pragma once

#include <string>

#include "link/DetectorRecord.h"
#include "xls/XlsError.h"

// The record store as a CSV file (RFC 4180): UTF-8, comma separated, lines
// ended by CR LF, the header "DateTime,<unit header>" and one line per record
// in store order with the same time and value texts as the workbook. All
// records go into the one file.

// Appends `text` as one field: as it is, or between double quotes (with each
// quote doubled) when it holds a comma, a double quote, CR or LF.
void appendCsvField(std::string& out, const char* text, std::size_t length);

// The whole file's text.
std::string csvText(const RecordStore& records, int unitIndex);

// Writes the file at `path` through a temporary file beside it; false when it
// could not be written, and then an existing file of that name is left as it
// was and `error`, when given, tells why.
bool exportCsv(const RecordStore& records, const std::u16string& path, int unitIndex,
               xls::SaveError* error = nullptr);

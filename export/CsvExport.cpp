#include "export/CsvExport.h"

#include <cstring>
#include <filesystem>

#include "link/Units.h"
#include "xls/TempFile.h"

namespace {

const char kLineEnd[] = "\r\n";
// "yyyy-MM-dd hh:mm:ss", a comma, a value text and the line end.
constexpr std::size_t kTypicalLineLength = 19 + 1 + 12 + 2;

bool needsQuotes(const char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            return true;
    }
    return false;
}

void appendLine(std::string& out, const char* first, const char* second, std::size_t secondLength) {
    appendCsvField(out, first, std::strlen(first));
    out += ',';
    appendCsvField(out, second, secondLength);
    out += kLineEnd;
}

}  // namespace

void appendCsvField(std::string& out, const char* text, std::size_t length) {
    if (!needsQuotes(text, length)) {
        out.append(text, length);
        return;
    }
    out += '"';
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == '"')
            out += '"';
        out += text[i];
    }
    out += '"';
}

std::string csvText(const RecordStore& records, int unitIndex) {
    std::string text;
    text.reserve((records.size() + 1) * kTypicalLineLength);
    const char* header = unitInfo(unitIndex).header;
    appendLine(text, "DateTime", header, std::strlen(header));
    char value[kValueTextCapacity];
    for (const DetectorRecord& record : records) {
        const std::size_t length = writeValueText(record.value, unitIndex, value);
        appendLine(text, record.timeText, value, length);
    }
    return text;
}

bool exportCsv(const RecordStore& records, const std::u16string& path, int unitIndex,
               xls::SaveError* error) {
    xls::SaveError failure;
    bool saved = false;
    if (path.empty())
        failure = xls::InvalidRequest();
    else
        saved = xls::WriteFileAtomically(std::filesystem::path(path), csvText(records, unitIndex),
                                         failure);
    if (error)
        *error = failure;
    return saved;
}

#include "export/RecordFile.h"

#include "export/CsvExport.h"
#include "export/RecordExporter.h"

bool isCsvFileName(const std::u16string& path) {
    static const char16_t kSuffix[] = u".csv";
    constexpr std::size_t kLength = 4;
    if (path.size() < kLength)
        return false;
    for (std::size_t i = 0; i < kLength; ++i) {
        char16_t c = path[path.size() - kLength + i];
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != kSuffix[i])
            return false;
    }
    return true;
}

bool saveRecordFile(const RecordStore& records, const std::u16string& path, int unitIndex,
                    xls::SaveError* error) {
    if (isCsvFileName(path))
        return exportCsv(records, path, unitIndex, error);
    RecordExporter exporter;
    const bool saved = exporter.exportRecords(records, path, unitIndex);
    if (error)
        *error = exporter.lastError();
    return saved;
}

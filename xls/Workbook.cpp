#include "xls/Workbook.h"

namespace xls {

namespace {

template <typename RecordType>
uint64_t SumSizes(std::vector<RecordType>& records) {
    uint64_t total = 0;
    for (RecordType& record : records) {
        total += record.RecordSize();
    }
    return total;
}

template <typename RecordType>
uint32_t WriteAll(std::vector<RecordType>& records, uint8_t* out) {
    uint32_t written = 0;
    for (RecordType& record : records) {
        written += record.Write(out + written);
    }
    return written;
}

}  // namespace

void Workbook::ResetToNewDocument() {
    *this = Workbook();
    fonts.resize(kNewDocumentFonts);
    xfs.resize(kNewDocumentXFs);
    styles.resize(kNewDocumentStyles);
    sheets.resize(kNewDocumentSheets);
}

bool Workbook::HoldsFormatRecords() const {
    return !fonts.empty() && !xfs.empty() && !styles.empty();
}

uint64_t Workbook::RecordSize() {
    uint64_t total = bof.RecordSize() + window.RecordSize() + SumSizes(fonts);
    for (Format& format : formats) {
        if (format.IsWritten()) {
            total += format.RecordSize();
        }
    }
    total += SumSizes(xfs) + SumSizes(styles) + SumSizes(sheets);
    return total + sst.RecordSize() + eof.RecordSize();
}

uint32_t Workbook::Write(uint8_t* out) {
    uint32_t p = bof.Write(out);
    p += window.Write(out + p);
    p += WriteAll(fonts, out + p);
    for (Format& format : formats) {
        if (format.IsWritten()) {
            p += format.Write(out + p);
        }
    }
    p += WriteAll(xfs, out + p);
    p += WriteAll(styles, out + p);
    p += WriteAll(sheets, out + p);
    p += sst.Write(out + p);
    p += eof.Write(out + p);
    return p;
}

}  // namespace xls

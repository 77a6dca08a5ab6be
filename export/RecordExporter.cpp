#include "export/RecordExporter.h"

#include "link/Units.h"
#include "xls/FormatManager.h"
#include "xls/XlsDocument.h"

using xls::FontDescription;
using xls::FormatManager;
using xls::XlsDocument;
using xls::XlsSheet;

namespace {

// Rows 1 to 65535 of a sheet hold records; row 0 holds the header.
constexpr std::size_t kRecordsPerSheet = 65535;
constexpr unsigned kInitialSheets = 3;

}  // namespace

RecordExporter::RecordExporter() : m_document(new XlsDocument) {}

RecordExporter::~RecordExporter() {
    delete m_document;
}

const char* RecordExporter::unitHeader(int unitIndex) {
    return unitInfo(unitIndex).header;
}

std::string RecordExporter::valueText(int value, int unitIndex) {
    return ::valueText(value, unitIndex);
}

bool RecordExporter::exportRecords(const RecordStore& records, const std::u16string& path,
                                   int unitIndex) {
    m_document->New(kInitialSheets);
    m_sheet = m_document->GetSheet(0);
    writeHeader(m_sheet, unitIndex);
    if (!records.empty())
        registerHeaderFont();

    XlsSheet* sheet = m_sheet;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::size_t part = i / kRecordsPerSheet;
        const int row = static_cast<int>(i % kRecordsPerSheet) + 1;
        if (row == 1 && part > 0) {
            sheet = sheetForPart(static_cast<int>(part));
            writeHeader(sheet, unitIndex);
        }
        sheet->Cell(row, 0)->SetString(records[i].timeText);
        char value[kValueTextCapacity];
        writeValueText(records[i].value, unitIndex, value);
        sheet->Cell(row, 1)->SetString(value);
    }

    const bool saved = m_document->SaveAs(path.c_str());
    m_document->Close();
    return saved;
}

const xls::SaveError& RecordExporter::lastError() const {
    return m_document->LastError();
}

// Sheets 1 and 2 exist from the start; later parts get "Sheet4", "Sheet5", ...
// appended, skipping any name already taken.
XlsSheet* RecordExporter::sheetForPart(int part) {
    if (XlsSheet* sheet = m_document->GetSheet(part))
        return sheet;
    XlsSheet* added = nullptr;
    for (int number = part + 1; !added; ++number) {
        const std::string name = "Sheet" + std::to_string(number);
        added = m_document->AddSheet(name.c_str(), -1);
    }
    return added;
}

void RecordExporter::writeHeader(XlsSheet* sheet, int unitIndex) {
    sheet->Cell(0, 0)->SetString("DateTime");
    sheet->Cell(0, 1)->SetString(unitHeader(unitIndex));
}

// The workbook carries one bold 10-point Arial font beside the default one.
void RecordExporter::registerHeaderFont() {
    FormatManager formats(*m_document);
    formats.FindOrAddFont(FontDescription{u"Arial", 200, 700, 0, 0x7FFF, 0, 0, 0, 0});
}

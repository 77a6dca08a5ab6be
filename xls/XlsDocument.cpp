#include "xls/XlsDocument.h"

#include <string>

namespace xls {

namespace {

// Compares with the name as a BOUNDSHEET stores it (cut to 255 characters).
bool IsSheetName(const BoundSheet& sheet, const SmallString& name) {
    return !sheet.name.IsWide() && sheet.name.Narrow() == name.Narrow();
}

}  // namespace

void XlsDocument::New(unsigned sheetCount) {
    workbook_.ResetToNewDocument();
    worksheets_.clear();
    worksheets_.resize(1);
    RebuildSheets();
    for (unsigned added = 1; added < sheetCount; ++added) {
        int number = SheetCount() + 1;
        while (AddSheet(("Sheet" + std::to_string(number)).c_str(), -1) == nullptr) {
            ++number;
        }
    }
}

void XlsDocument::RebuildSheets() {
    sheets_.clear();
    for (size_t i = 0; i < worksheets_.size(); ++i) {
        XlsSheetRef sheet = MakeRef<XlsSheet>(this, static_cast<int>(i));
        sheet->LoadFromWorksheet();
        sheet->ColumnInfos().entries = worksheets_[i].colInfos.entries;
        sheets_.push_back(sheet);
    }
}

XlsSheet* XlsDocument::GetSheet(int index) {
    if (index < 0 || index >= SheetCount()) {
        return nullptr;
    }
    return sheets_[static_cast<size_t>(index)].get();
}

XlsSheet* XlsDocument::AddSheet(const char* name, int position) {
    if (name == nullptr || name[0] == '\0' || position < -1 || position > SheetCount()) {
        return nullptr;
    }
    const SmallString stored{std::string(name)};
    for (const BoundSheet& sheet : workbook_.sheets) {
        if (IsSheetName(sheet, stored)) {
            return nullptr;
        }
    }
    const size_t at = position == -1 ? sheets_.size() : static_cast<size_t>(position);
    BoundSheet& entry = *workbook_.sheets.emplace(workbook_.sheets.begin() + at);
    entry.name = stored;
    Worksheet& worksheet = *worksheets_.emplace(worksheets_.begin() + at);
    worksheet.window.options &= static_cast<uint16_t>(~Window2::kSelected);
    XlsSheetRef sheet = MakeRef<XlsSheet>(this, static_cast<int>(at));
    sheet->LoadFromWorksheet();
    sheets_.insert(sheets_.begin() + at, sheet);
    for (size_t i = at + 1; i < sheets_.size(); ++i) {
        sheets_[i]->SetIndex(static_cast<int>(i));
    }
    return sheet.get();
}

}  // namespace xls

#include "xls/XlsCell.h"

#include <cstring>

#include "xls/RkNumber.h"

namespace xls {

XlsFormula::XlsFormula(const Formula& record) : record_(record) {}

void XlsFormula::Release() {
    if (--refCount_ == 0) {
        delete this;
    }
}

void XlsFormula::CopyTo(Formula& record, uint16_t row, uint16_t column, uint16_t xfIndex) const {
    record = record_;
    record.row = row;
    record.column = column;
    record.xfIndex = xfIndex;
}

const std::u16string& XlsCell::WideText() const {
    static const std::u16string kNone;
    return wideText_ ? *wideText_ : kNone;
}

void XlsCell::SetString(const char* text) {
    wideText_.reset();
    if (text == nullptr || text[0] == '\0') {
        type_ = CellEmpty;
        text_.clear();
        return;
    }
    type_ = CellString;
    text_.assign(text, std::strlen(text));
}

void XlsCell::SetWideString(const char16_t* text) {
    text_.clear();
    if (text == nullptr || text[0] == u'\0') {
        type_ = CellEmpty;
        wideText_.reset();
        return;
    }
    type_ = CellWString;
    wideText_ = std::make_unique<std::u16string>(text);
}

void XlsCell::SetRK(uint32_t rk) {
    const bool integer = (rk & 0x2) != 0;
    const bool divideBy100 = (rk & 0x1) != 0;
    if (!integer) {
        SetDouble(RkToDouble(rk));
        return;
    }
    // The two flag bits cleared, the division by 4 is an exact signed shift.
    const int32_t number = static_cast<int32_t>(rk & ~0x3u) / 4;
    if (!divideBy100) {
        SetInt(number);
    } else if (number % 100 == 0) {
        SetInt(number / 100);
    } else {
        SetDouble(number / 100.0);
    }
}

void XlsCell::SetFormula(const Formula& record) {
    formula_ = MakeRef<XlsFormula>(record);
    type_ = CellFormula;
}

void XlsCell::SetInt(int32_t value) {
    type_ = CellInt;
    intValue_ = value;
    ClearTexts();
}

void XlsCell::SetDouble(double value) {
    type_ = CellDouble;
    doubleValue_ = value;
    ClearTexts();
}

void XlsCell::ClearTexts() {
    text_.clear();
    wideText_.reset();
}

bool XlsCell::SetSpan(uint16_t rows, uint16_t columns) {
    if (rows == 0 || columns == 0) {
        return false;
    }
    rowSpan_ = rows;
    columnSpan_ = columns;
    return true;
}

}  // namespace xls

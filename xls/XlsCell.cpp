#include "xls/XlsCell.h"

#include <cstring>
#include <string>
#include <utility>

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

XlsCell::XlsCell(XlsCell&& other) noexcept {
    *this = std::move(other);
}

XlsCell& XlsCell::operator=(XlsCell&& other) noexcept {
    if (this != &other) {
        ReleaseValue();
        std::memcpy(payload_, other.payload_, sizeof payload_);
        textLength_ = other.textLength_;
        type_ = other.type_;
        xfIndex_ = other.xfIndex_;
        rowSpan_ = other.rowSpan_;
        columnSpan_ = other.columnSpan_;
        other.type_ = CellEmpty;
    }
    return *this;
}

void XlsCell::FreeValue() noexcept {
    if (type_ == CellString) {
        delete[] static_cast<char*>(Load<HeapText>().data);
    } else if (type_ == CellWString) {
        delete[] static_cast<char16_t*>(Load<HeapText>().data);
    } else if (type_ == CellFormula) {
        Load<XlsFormula*>()->Release();
    }
}

void XlsCell::SetHeapText(CellType type, void* data, size_t size) {
    ReleaseValue();
    Store(HeapText{data, size});
    textLength_ = kTextOnHeap;
    type_ = type;
}

std::string_view XlsCell::Text() const {
    if (type_ != CellString) {
        return {};
    }
    if (textLength_ != kTextOnHeap) {
        return {reinterpret_cast<const char*>(payload_), textLength_};
    }
    const HeapText text = Load<HeapText>();
    return {static_cast<const char*>(text.data), text.size};
}

std::u16string_view XlsCell::WideText() const {
    if (type_ != CellWString) {
        return {};
    }
    const HeapText text = Load<HeapText>();
    return {static_cast<const char16_t*>(text.data), text.size};
}

void XlsCell::SetString(const char* text) {
    const size_t size = text == nullptr ? 0 : std::strlen(text);
    if (size == 0) {
        ReleaseValue();
    } else if (size <= kInlineText) {
        ReleaseValue();
        std::memcpy(payload_, text, size);
        textLength_ = static_cast<uint8_t>(size);
        type_ = CellString;
    } else {
        char* copy = new char[size];
        std::memcpy(copy, text, size);
        SetHeapText(CellString, copy, size);
    }
}

void XlsCell::SetWideString(const char16_t* text) {
    const size_t size = text == nullptr ? 0 : std::char_traits<char16_t>::length(text);
    if (size == 0) {
        ReleaseValue();
        return;
    }
    auto* copy = new char16_t[size];
    std::memcpy(copy, text, size * sizeof(char16_t));
    SetHeapText(CellWString, copy, size);
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
    auto* formula = new XlsFormula(record);
    formula->AddRef();
    ReleaseValue();
    Store(formula);
    type_ = CellFormula;
}

void XlsCell::SetInt(int32_t value) {
    ReleaseValue();
    Store(value);
    type_ = CellInt;
}

void XlsCell::SetDouble(double value) {
    ReleaseValue();
    Store(value);
    type_ = CellDouble;
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

// One cell of a sheet's grid: a typed value (integer, double, 8-bit or
// 16-bit text, formula) with its cell format and the size of the merged range
// it starts.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "xls/records/Formula.h"

namespace xls {

enum CellType : int32_t {
    CellEmpty = 0,
    CellInt = 1,
    CellDouble = 2,
    CellString = 3,
    CellWString = 4,
    CellFormula = 5,
};

// Everything of a FORMULA record but its position and cell format: cached
// result, parsed expression, the attached TABLE, SHRFMLA or ARRAY record and
// the cached text result. Reference-counted: every cell that holds it counts
// once, and the last release destroys it.
class XlsFormula {
public:
    explicit XlsFormula(const Formula& record);
    XlsFormula(const XlsFormula&) = delete;
    XlsFormula& operator=(const XlsFormula&) = delete;

    void AddRef() { ++refCount_; }
    void Release();

    // Fills `record` with this formula at the given position and format.
    void CopyTo(Formula& record, uint16_t row, uint16_t column, uint16_t xfIndex) const;

private:
    ~XlsFormula() = default;

    uint32_t refCount_ = 0;
    Formula record_;
};

// 32 bytes: the value (a number, a text of up to 22 bytes in place, or the
// address of a longer text or of a formula) shares its bytes with the other
// types', so a setter replaces whatever the cell held before.
class XlsCell {
public:
    XlsCell() = default;
    XlsCell(XlsCell&& other) noexcept;
    XlsCell& operator=(XlsCell&& other) noexcept;
    XlsCell(const XlsCell&) = delete;
    XlsCell& operator=(const XlsCell&) = delete;
    ~XlsCell() {
        if (OwnsValue()) {
            FreeValue();
        }
    }

    // Text up to its NUL; an empty (or null) text makes the cell empty.
    // Format and spans stay.
    void SetString(const char* text);
    void SetWideString(const char16_t* text);
    // Stores the number an RK value stands for: an integer cell when the RK
    // value holds a whole number in integer form, a double cell otherwise.
    void SetRK(uint32_t rk);
    // Takes over the formula part of a FORMULA record.
    void SetFormula(const Formula& record);
    void SetInt(int32_t value);
    void SetDouble(double value);
    void SetXFIndex(uint32_t xfIndex) { xfIndex_ = xfIndex; }
    // Rows and columns of the merged range that starts at this cell; 1 and 1
    // for a cell that starts none. A span of 0 rows or columns covers no
    // range: false, and the spans stay as they were.
    bool SetSpan(uint16_t rows, uint16_t columns);

    CellType Type() const { return static_cast<CellType>(type_); }
    // Each value reads as zero or empty unless the cell is of its type.
    int32_t IntValue() const { return type_ == CellInt ? Load<int32_t>() : 0; }
    double DoubleValue() const { return type_ == CellDouble ? Load<double>() : 0.0; }
    std::string_view Text() const;
    std::u16string_view WideText() const;
    const XlsFormula* GetFormula() const {
        return type_ == CellFormula ? Load<XlsFormula*>() : nullptr;
    }
    uint16_t RowSpan() const { return rowSpan_; }
    uint16_t ColumnSpan() const { return columnSpan_; }
    uint32_t XFIndex() const { return xfIndex_; }

private:
    static constexpr size_t kInlineText = 22;
    // textLength_ of an 8-bit text kept in a heap block.
    static constexpr uint8_t kTextOnHeap = 0xFF;

    // A text too long to be held in place, or any 16-bit text.
    struct HeapText {
        void* data;
        size_t size;
    };

    template <typename T>
    T Load() const {
        T value;
        std::memcpy(&value, payload_, sizeof value);
        return value;
    }
    template <typename T>
    void Store(T value) {
        static_assert(sizeof value <= kInlineText, "the value is held in place");
        std::memcpy(payload_, &value, sizeof value);
    }
    // True while the value holds a heap block or a formula reference.
    bool OwnsValue() const {
        return type_ > CellString || (type_ == CellString && textLength_ == kTextOnHeap);
    }
    // Frees a text or lets go of a formula; the cell becomes empty.
    void ReleaseValue() noexcept {
        if (OwnsValue()) {
            FreeValue();
        }
        type_ = CellEmpty;
        textLength_ = 0;
    }
    void FreeValue() noexcept;
    void SetHeapText(CellType type, void* data, size_t size);

    // CellInt: int32_t; CellDouble: double; CellString: the bytes (count in
    // textLength_) or a HeapText; CellWString: a HeapText of 16-bit units;
    // CellFormula: an XlsFormula* holding one reference.
    alignas(8) unsigned char payload_[kInlineText] = {};
    uint8_t textLength_ = 0;
    uint8_t type_ = CellEmpty;
    uint32_t xfIndex_ = 0;
    uint16_t rowSpan_ = 1;
    uint16_t columnSpan_ = 1;
};

}  // namespace xls

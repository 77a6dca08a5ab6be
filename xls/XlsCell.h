// One cell of a sheet's grid: a typed value (integer, double, 8-bit or
// 16-bit text, formula) with its cell format and the size of the merged range
// it starts.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "xls/RefPtr.h"
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
// the cached text result. Shared by handles; the last one destroys it.
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

using XlsFormulaRef = RefPtr<XlsFormula>;

class XlsCell {
public:
    // Text up to its NUL; an empty (or null) text makes the cell empty. The
    // other text is emptied; numbers, spans, format and formula stay.
    void SetString(const char* text);
    void SetWideString(const char16_t* text);
    // Stores the number an RK value stands for: an integer cell when the RK
    // value holds a whole number in integer form, a double cell otherwise.
    void SetRK(uint32_t rk);
    // Takes over the formula part of a FORMULA record.
    void SetFormula(const Formula& record);
    // Numbers empty both texts.
    void SetInt(int32_t value);
    void SetDouble(double value);
    void SetXFIndex(uint32_t xfIndex) { xfIndex_ = xfIndex; }
    // Rows and columns of the merged range that starts at this cell; 1 and 1
    // for a cell that starts none. A span of 0 rows or columns covers no
    // range: false, and the spans stay as they were.
    bool SetSpan(uint16_t rows, uint16_t columns);

    CellType Type() const { return type_; }
    int32_t IntValue() const { return intValue_; }
    double DoubleValue() const { return doubleValue_; }
    const std::string& Text() const { return text_; }
    const std::u16string& WideText() const;
    uint16_t RowSpan() const { return rowSpan_; }
    uint16_t ColumnSpan() const { return columnSpan_; }
    uint32_t XFIndex() const { return xfIndex_; }
    const XlsFormula* GetFormula() const { return formula_.get(); }

private:
    void ClearTexts();

    CellType type_ = CellEmpty;
    int32_t intValue_ = 0;
    double doubleValue_ = 0.0;
    std::string text_;
    // Held apart: 16-bit text is rare, and the cell stays small.
    std::unique_ptr<std::u16string> wideText_;
    uint16_t rowSpan_ = 1;
    uint16_t columnSpan_ = 1;
    uint32_t xfIndex_ = 0;
    XlsFormulaRef formula_;
};

}  // namespace xls

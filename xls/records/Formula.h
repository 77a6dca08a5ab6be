// FORMULA (0x0006): a formula cell with its cached result and parsed
// expression, followed in the stream by the record it refers to (TABLE,
// SHRFMLA or ARRAY) and by STRING when the cached result is text.
// This writer never produces formula cells; the layouts are complete all the same.
#pragma once

#include <array>
#include <vector>

#include "xls/records/BiffStrings.h"
#include "xls/records/CellRecord.h"

namespace xls {

// TABLE (0x0036): a what-if data table over a cell range.
class Table : public Record {
public:
    Table();
    uint32_t Write(uint8_t* out) override;

    uint16_t firstRow = 0;
    uint16_t lastRow = 0;
    uint8_t firstColumn = 0;
    uint8_t lastColumn = 0;
    uint16_t options = 0;
    std::array<uint16_t, 4> inputCells{};
};

// SHRFMLA (0x00BC, and 0x04BC in ShrFmla1): an expression shared by the
// formula cells of a range.
class ShrFmla : public Record {
public:
    ShrFmla();
    uint32_t Write(uint8_t* out) override;
    uint32_t DataSize() override;

    uint16_t firstRow = 0;
    uint16_t lastRow = 0;
    uint8_t firstColumn = 0;
    uint8_t lastColumn = 0;
    uint16_t field = 0;
    std::vector<uint8_t> expression;

protected:
    explicit ShrFmla(uint16_t code);
};

class ShrFmla1 : public ShrFmla {
public:
    ShrFmla1();
};

// ARRAY (0x0221): an array formula over a cell range.
class Array : public Record {
public:
    Array();
    uint32_t Write(uint8_t* out) override;
    uint32_t DataSize() override;

    uint16_t firstRow = 0;
    uint16_t lastRow = 0;
    uint8_t firstColumn = 0;
    uint8_t lastColumn = 0;
    uint16_t options = 0;
    uint32_t reserved = 0;
    std::vector<uint8_t> expression;
};

// STRING (0x0207): the text result of the formula before it: character count,
// a flags byte (1 = 16-bit characters) and the characters.
class String : public Record {
public:
    String();
    uint32_t Write(uint8_t* out) override;
    uint32_t DataSize() override;

    LargeString text;
};

class Formula : public CellRecord {
public:
    static constexpr int16_t kNoAttachedRecord = -1;

    Formula();
    // The FORMULA record, the attached record whose code matches
    // attachedCode, then STRING when hasStringResult.
    uint32_t Write(uint8_t* out) override;
    // Data bytes of the FORMULA record itself.
    uint32_t DataSize() override;
    uint32_t RecordSize() override;

    uint16_t xfIndex = 0;
    std::array<uint8_t, 8> cachedResult{};
    uint16_t options = 0;
    std::vector<uint8_t> expression;

    int16_t attachedCode = kNoAttachedRecord;
    Table table;
    ShrFmla shrFmla;
    ShrFmla1 shrFmla1;
    Array array;
    bool hasStringResult = false;
    String string;

private:
    Record* Attached();
};

}  // namespace xls

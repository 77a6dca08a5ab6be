#include "xls/records/Formula.h"

#include <algorithm>

#include "xls/records/LittleEndian.h"

namespace xls {

namespace {

void StoreRange(uint8_t* d, uint16_t firstRow, uint16_t lastRow, uint8_t firstColumn,
                uint8_t lastColumn) {
    StoreU16(d + 0, firstRow);
    StoreU16(d + 2, lastRow);
    StoreU8(d + 4, firstColumn);
    StoreU8(d + 5, lastColumn);
}

uint32_t SizeOf(const std::vector<uint8_t>& bytes) {
    return static_cast<uint32_t>(bytes.size());
}

}  // namespace

Table::Table() : Record(0x0036, 16) {}

uint32_t Table::Write(uint8_t* out) {
    return WriteData(out, [this](uint8_t* d) {
        StoreRange(d, firstRow, lastRow, firstColumn, lastColumn);
        StoreU16(d + 6, options);
        for (size_t i = 0; i < inputCells.size(); ++i) {
            StoreU16(d + 8 + 2 * i, inputCells[i]);
        }
    });
}

ShrFmla::ShrFmla() : ShrFmla(0x00BC) {}

ShrFmla::ShrFmla(uint16_t code) : Record(code) {}

uint32_t ShrFmla::DataSize() {
    SetDataSize(8 + SizeOf(expression));
    return Record::DataSize();
}

uint32_t ShrFmla::Write(uint8_t* out) {
    return WriteData(out, [this](uint8_t* d) {
        StoreRange(d, firstRow, lastRow, firstColumn, lastColumn);
        StoreU16(d + 6, field);
        std::copy(expression.begin(), expression.end(), d + 8);
    });
}

ShrFmla1::ShrFmla1() : ShrFmla(0x04BC) {}

Array::Array() : Record(0x0221) {}

uint32_t Array::DataSize() {
    SetDataSize(12 + SizeOf(expression));
    return Record::DataSize();
}

uint32_t Array::Write(uint8_t* out) {
    return WriteData(out, [this](uint8_t* d) {
        StoreRange(d, firstRow, lastRow, firstColumn, lastColumn);
        StoreU16(d + 6, options);
        StoreU32(d + 8, reserved);
        std::copy(expression.begin(), expression.end(), d + 12);
    });
}

String::String() : Record(0x0207) {}

uint32_t String::DataSize() {
    SetDataSize(text.ByteLength());
    return Record::DataSize();
}

uint32_t String::Write(uint8_t* out) {
    return WriteData(out, [this](uint8_t* d) { text.Write(d); });
}

Formula::Formula() : CellRecord(0x0006) {}

Record* Formula::Attached() {
    for (Record* record : {static_cast<Record*>(&table), static_cast<Record*>(&shrFmla),
                           static_cast<Record*>(&shrFmla1), static_cast<Record*>(&array)}) {
        if (record->Code() == attachedCode) {
            return record;
        }
    }
    return nullptr;
}

uint32_t Formula::DataSize() {
    SetDataSize(20 + SizeOf(expression));
    return Record::DataSize();
}

uint32_t Formula::RecordSize() {
    uint32_t total = Record::RecordSize();
    if (Record* attached = Attached()) {
        total += attached->RecordSize();
    }
    if (hasStringResult) {
        total += string.RecordSize();
    }
    return total;
}

uint32_t Formula::Write(uint8_t* out) {
    uint32_t written = WriteData(out, [this](uint8_t* d) {
        StoreU16(d + 0, row);
        StoreU16(d + 2, column);
        StoreU16(d + 4, xfIndex);
        std::copy(cachedResult.begin(), cachedResult.end(), d + 6);
        StoreU16(d + 14, options);
        StoreU32(d + 16, 0);
        std::copy(expression.begin(), expression.end(), d + 20);
    });
    if (Record* attached = Attached()) {
        written += attached->Write(out + written);
    }
    if (hasStringResult) {
        written += string.Write(out + written);
    }
    return written;
}

}  // namespace xls

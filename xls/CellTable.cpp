#include "xls/CellTable.h"

#include <memory>

#include "xls/records/Blank.h"
#include "xls/records/BoolErr.h"
#include "xls/records/Formula.h"
#include "xls/records/LabelSST.h"
#include "xls/records/MulBlank.h"
#include "xls/records/MulRK.h"
#include "xls/records/Number.h"
#include "xls/records/RK.h"

namespace xls {

namespace {

std::unique_ptr<CellRecord> NewCellRecord(int16_t code) {
    switch (code) {
        case 0x0006:
            return std::make_unique<Formula>();
        case 0x00BD:
            return std::make_unique<MulRK>();
        case 0x00BE:
            return std::make_unique<MulBlank>();
        case 0x00FD:
            return std::make_unique<LabelSST>();
        case 0x0201:
            return std::make_unique<Blank>();
        case 0x0203:
            return std::make_unique<Number>();
        case 0x0205:
            return std::make_unique<BoolErr>();
        case 0x027E:
            return std::make_unique<RK>();
        default:
            return nullptr;
    }
}

// Data bytes of the cell records of one fixed size (LABELSST, BLANK,
// NUMBER, BOOLERR, RK); 0 for the kinds whose size depends on their content.
uint32_t FixedDataSize(int16_t code) {
    switch (code) {
        case 0x00FD:
            return LabelSST::kDataSize;
        case 0x0201:
            return Blank::kDataSize;
        case 0x0203:
            return Number::kDataSize;
        case 0x0205:
            return BoolErr::kDataSize;
        case 0x027E:
            return RK::kDataSize;
        default:
            return 0;
    }
}

// A block that holds no record (or a null handle) contributes no bytes.
CellRecord* HeldRecord(const CellBlockRef& cell) {
    return cell ? cell->GetRecord() : nullptr;
}

}  // namespace

void CellBlock::Destroy() {
    if ((placement_ & kBlockInArena) != 0) {
        this->~CellBlock();
    } else {
        delete this;
    }
}

// The fixed-size kinds are known from the code, without asking the record:
// a save sizes every cell record of the workbook.
uint32_t CellBlock::RecordSize() const {
    if (record_ == nullptr) {
        return 0;
    }
    const uint32_t fixed = FixedDataSize(code_);
    return fixed != 0 ? Record::kHeaderSize + fixed : record_->RecordSize();
}

void CellBlock::SetType(int16_t code) {
    if (code == code_) {
        return;
    }
    Reset();
    code_ = code;
    record_ = NewCellRecord(code).release();
}

// A fixed-size record in the arena holds nothing but its fields: its memory
// goes with the arena, and nothing needs to be destroyed.
void CellBlock::Reset() {
    if ((placement_ & kRecordInArena) != 0) {
        if (FixedDataSize(code_) == 0) {
            record_->~CellRecord();
        }
        placement_ &= static_cast<uint8_t>(~kRecordInArena);
    } else {
        delete record_;
    }
    record_ = nullptr;
    code_ = kNone;
}

uint64_t RowBlock::RowsSize() {
    uint64_t total = 0;
    for (Row& row : rows) {
        total += row.RecordSize();
    }
    return total;
}

uint64_t RowBlock::CellsSize() {
    uint64_t total = 0;
    for (const CellBlockRef& cell : cells) {
        total += cell ? cell->RecordSize() : 0;
    }
    return total;
}

uint64_t RowBlock::RecordSize() {
    return RowsSize() + CellsSize() + dbcell.RecordSize();
}

uint32_t RowBlock::Write(uint8_t* out) {
    uint32_t p = 0;
    for (Row& row : rows) {
        p += row.Write(out + p);
    }
    for (const CellBlockRef& cell : cells) {
        if (CellRecord* record = HeldRecord(cell)) {
            p += record->Write(out + p);
        }
    }
    return p + dbcell.Write(out + p);
}

void CellTable::AddRowBlocks(size_t count) {
    blocks.reserve(blocks.size() + count);
    for (size_t b = 0; b < count; ++b) {
        blocks.emplace_back(arena_.get());
    }
}

uint64_t CellTable::RecordSize() {
    uint64_t total = 0;
    for (RowBlock& block : blocks) {
        total += block.RecordSize();
    }
    return total;
}

uint32_t CellTable::Write(uint8_t* out) {
    uint32_t p = 0;
    for (RowBlock& block : blocks) {
        p += block.Write(out + p);
    }
    return p;
}

}  // namespace xls

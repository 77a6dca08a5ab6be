// Memory for the cell blocks and cell records of one cell table, handed out
// in order from large chunks and given back all at once when the table goes:
// a worksheet's many small cell records then cost no heap block each.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace xls {

class CellArena {
public:
    CellArena() = default;
    CellArena(const CellArena&) = delete;
    CellArena& operator=(const CellArena&) = delete;
    CellArena(CellArena&&) noexcept = default;
    CellArena& operator=(CellArena&&) noexcept = default;

    // `size` bytes, aligned for any cell block or record, valid until the
    // arena is destroyed.
    void* Allocate(size_t size) {
        size = (size + kAlignment - 1) & ~(kAlignment - 1);
        if (size > left_) {
            AddChunk(size);
        }
        void* block = next_;
        next_ += size;
        left_ -= size;
        return block;
    }

private:
    // Every cell block and record holds at most 8-byte values (pointers, doubles).
    static constexpr size_t kAlignment = 8;

    void AddChunk(size_t atLeast);

    std::vector<std::unique_ptr<std::byte[]>> chunks_;
    std::byte* next_ = nullptr;
    size_t left_ = 0;
};

}  // namespace xls

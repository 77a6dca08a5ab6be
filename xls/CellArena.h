// Memory for the cell blocks and cell records of one cell table, handed out
// in order from large chunks and given back all at once when the table goes:
// a worksheet's many small cell records then cost no heap block each.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace xls {

class CellArena {
public:
    CellArena() = default;
    CellArena(const CellArena&) = delete;
    CellArena& operator=(const CellArena&) = delete;
    CellArena(CellArena&& other) noexcept { Swap(other); }
    CellArena& operator=(CellArena&& other) noexcept {
        CellArena gone;
        Swap(other);
        other.Swap(gone);
        return *this;
    }
    ~CellArena();

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

    // Gives the memory behind the last block handed out back to the system,
    // once no more blocks are expected (the arena stays usable).
    void ReleaseUnused() noexcept;

private:
    // Every cell block and record holds at most 8-byte values (pointers, doubles).
    static constexpr size_t kAlignment = 8;

    struct Chunk {
        std::byte* bytes;
        size_t size;
    };

    void AddChunk(size_t atLeast);
    void Swap(CellArena& other) noexcept {
        chunks_.swap(other.chunks_);
        std::swap(next_, other.next_);
        std::swap(left_, other.left_);
    }

    std::vector<Chunk> chunks_;
    std::byte* next_ = nullptr;
    size_t left_ = 0;
};

}  // namespace xls

// Memory for the cell blocks and cell records of one cell table, handed out
// in order from large chunks and given back all at once when the table goes:
// a worksheet's many small cell records then cost no heap block each.
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
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

// A standard allocator placing a container's elements in a cell arena, or
// on the heap without one. The arena gives its memory back only as a whole,
// so only blocks up to kLargestInArena bytes go there, such as a row
// block's ROW records and its cell list as first reserved; a list that grows
// past that moves to the heap. A copy of the container goes to the heap, as
// it may outlive the arena.
template <typename T>
class ArenaAllocator {
public:
    using value_type = T;
    using propagate_on_container_move_assignment = std::true_type;
    using propagate_on_container_swap = std::true_type;

    static_assert(alignof(T) <= 8, "arena blocks are aligned to 8 bytes");

    ArenaAllocator() = default;
    explicit ArenaAllocator(CellArena* arena) : arena_(arena) {}
    template <typename U>
    ArenaAllocator(const ArenaAllocator<U>& other) noexcept : arena_(other.Arena()) {}

    static constexpr size_t kLargestInArena = 8192;

    T* allocate(size_t count) {
        void* block = InArena(count) ? arena_->Allocate(count * sizeof(T))
                                     : ::operator new(count * sizeof(T));
        return static_cast<T*>(block);
    }
    void deallocate(T* block, size_t count) noexcept {
        if (!InArena(count)) {
            ::operator delete(block);
        }
    }
    ArenaAllocator select_on_container_copy_construction() const { return ArenaAllocator(); }

    CellArena* Arena() const { return arena_; }
    template <typename U>
    bool operator==(const ArenaAllocator<U>& other) const noexcept {
        return arena_ == other.Arena();
    }
    template <typename U>
    bool operator!=(const ArenaAllocator<U>& other) const noexcept {
        return arena_ != other.Arena();
    }

private:
    bool InArena(size_t count) const {
        return arena_ != nullptr && count <= kLargestInArena / sizeof(T);
    }

    CellArena* arena_ = nullptr;
};

}  // namespace xls

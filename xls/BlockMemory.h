// Memory for the writer's few large, short-lived blocks: the chunks of the
// cell arenas and of the grid, the shared string table and its lookup table,
// the stream a save writes.
// A block of at least kLargeBlock bytes is taken from the system in whole
// pages; on Linux it starts on a 2 MiB boundary and is offered transparent
// huge pages, so that filling tens of megabytes costs a few page faults
// instead of one for every 4 KiB. Smaller blocks come from the heap.
#pragma once

#include <cstddef>

namespace xls {

constexpr size_t kLargeBlock = size_t{1} << 20;

// `size` bytes (not zeroed by contract), aligned for any object; throws
// std::bad_alloc when there is no memory.
void* AllocateBlock(size_t size);
// Gives back a block from AllocateBlock of the same `size`.
void FreeBlock(void* block, size_t size) noexcept;
// Hands the pages behind the first `used` bytes of a block of `size` bytes
// back to the system: a huge page filled only in part then holds no more
// memory than the part in use. The block stays whole; those bytes read as
// zero when used again.
void ReleaseBlockTail(void* block, size_t size, size_t used) noexcept;

// A standard allocator drawing on AllocateBlock, for containers that may grow
// large.
template <typename T>
class BlockAllocator {
public:
    using value_type = T;

    BlockAllocator() = default;
    template <typename U>
    BlockAllocator(const BlockAllocator<U>&) noexcept {}

    T* allocate(size_t count) { return static_cast<T*>(AllocateBlock(count * sizeof(T))); }
    void deallocate(T* block, size_t count) noexcept { FreeBlock(block, count * sizeof(T)); }

    template <typename U>
    bool operator==(const BlockAllocator<U>&) const noexcept {
        return true;
    }
    template <typename U>
    bool operator!=(const BlockAllocator<U>&) const noexcept {
        return false;
    }
};

}  // namespace xls

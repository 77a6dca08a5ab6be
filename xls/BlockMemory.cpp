#include "xls/BlockMemory.h"

#include <cstddef>
#include <new>

// Under AddressSanitizer every block comes from the heap, where the
// sanitizer sees a write past its end.
#if defined(__SANITIZE_ADDRESS__)
#define VENTRIX_SYSTEM_PAGES 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VENTRIX_SYSTEM_PAGES 0
#endif
#endif
#if !defined(VENTRIX_SYSTEM_PAGES)
#if defined(__linux__)
#define VENTRIX_SYSTEM_PAGES 1
#else
#define VENTRIX_SYSTEM_PAGES 0
#endif
#endif

#if VENTRIX_SYSTEM_PAGES
#include <sys/mman.h>

#include <cstdint>
#endif

namespace xls {

#if VENTRIX_SYSTEM_PAGES

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kPage = 4096;

// Whole pages only: the system backs each whole 2 MiB of the block with a
// huge page and the rest with small ones, so no memory goes unused.
size_t MappedSize(size_t size) {
    return (size + kPage - 1) & ~(kPage - 1);
}

}  // namespace

// Maps one huge page more than needed and gives back the ends, so that the
// block starts on a huge-page boundary whatever address the system picks.
void* AllocateBlock(size_t size) {
    if (size < kLargeBlock) {
        return ::operator new(size);
    }
    const size_t mapped = MappedSize(size);
    void* area = mmap(nullptr, mapped + kHugePage, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<uintptr_t>(area);
    const uintptr_t aligned = (start + kHugePage - 1) & ~uintptr_t{kHugePage - 1};
    if (aligned > start) {
        munmap(area, aligned - start);
    }
    if (const size_t tail = start + kHugePage - aligned; tail > 0) {
        munmap(reinterpret_cast<void*>(aligned + mapped), tail);
    }
    auto* block = reinterpret_cast<void*>(aligned);
    // Only advice: without huge pages the block works all the same.
    madvise(block, mapped, MADV_HUGEPAGE);
    return block;
}

void FreeBlock(void* block, size_t size) noexcept {
    if (size < kLargeBlock) {
        ::operator delete(block);
    } else if (block != nullptr) {
        munmap(block, MappedSize(size));
    }
}

void ReleaseBlockTail(void* block, size_t size, size_t used) noexcept {
    if (size < kLargeBlock) {
        return;
    }
    const size_t kept = MappedSize(used);
    const size_t mapped = MappedSize(size);
    if (kept < mapped) {
        madvise(static_cast<std::byte*>(block) + kept, mapped - kept, MADV_DONTNEED);
    }
}

#else

void* AllocateBlock(size_t size) {
    return ::operator new(size);
}

void FreeBlock(void* block, size_t) noexcept {
    ::operator delete(block);
}

void ReleaseBlockTail(void*, size_t, size_t) noexcept {}

#endif

}  // namespace xls

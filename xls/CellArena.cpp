#include "xls/CellArena.h"

#include <algorithm>

#include "xls/BlockMemory.h"

namespace xls {

namespace {

// Chunk sizes grow fourfold from 4 KiB to 256 KiB, then stay at 2 MiB, the
// size of a huge page: a small sheet takes little, a large one few chunks,
// nearly all of them in huge pages.
constexpr size_t kFirstChunk = 4096;
constexpr size_t kSmallChunks = 4;
constexpr size_t kLargeChunk = size_t{2} << 20;

size_t ChunkSize(size_t chunks) {
    return chunks < kSmallChunks ? kFirstChunk << (2 * chunks) : kLargeChunk;
}

}  // namespace

CellArena::~CellArena() {
    for (const Chunk& chunk : chunks_) {
        FreeBlock(chunk.bytes, chunk.size);
    }
}

void CellArena::ReleaseUnused() noexcept {
    if (!chunks_.empty()) {
        const Chunk& last = chunks_.back();
        ReleaseBlockTail(last.bytes, last.size, static_cast<size_t>(next_ - last.bytes));
    }
}

// The chunk's bytes are left as they are: every block is constructed in place.
void CellArena::AddChunk(size_t atLeast) {
    const size_t size = std::max(atLeast, ChunkSize(chunks_.size()));
    // Room in the list first, so that a failing allocation loses no chunk.
    if (chunks_.size() == chunks_.capacity()) {
        chunks_.reserve(2 * chunks_.size() + 1);
    }
    chunks_.push_back(Chunk{static_cast<std::byte*>(AllocateBlock(size)), size});
    next_ = chunks_.back().bytes;
    left_ = size;
}

}  // namespace xls

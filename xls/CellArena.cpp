#include "xls/CellArena.h"

#include <algorithm>

namespace xls {

namespace {

// Chunk sizes double from 4 KiB to 1 MiB: a small sheet takes little, a large
// one few chunks.
constexpr size_t kFirstChunk = 4096;
constexpr size_t kDoublings = 8;

}  // namespace

// The chunk's bytes are left as they are: every block is constructed in place.
void CellArena::AddChunk(size_t atLeast) {
    const size_t size = std::max(atLeast, kFirstChunk << std::min(chunks_.size(), kDoublings));
    chunks_.emplace_back(new std::byte[size]);
    next_ = chunks_.back().get();
    left_ = size;
}

}  // namespace xls

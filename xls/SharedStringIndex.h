// Hands out shared string table indices during a conversion: one per
// distinct text, in the order of first appearance, appending each new text
// to the table. 8-bit and 16-bit texts are looked up apart, so the same
// characters in both forms get two entries. A text longer than a table
// entry holds is looked up as the entry keeps it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "xls/BlockMemory.h"
#include "xls/records/SharedStringTable.h"

namespace xls {

class SharedStringIndex {
public:
    // Empties the table. The counts of 8-bit and 16-bit text cells to come
    // size the lookup tables; more texts are taken all the same.
    SharedStringIndex(SharedStringTable& sst, size_t narrowTexts, size_t wideTexts);

    // The hash a text is looked up by. It also starts fetching the text's
    // slot, so that an Add of the text soon after finds it in the cache:
    // hashing the texts of many cells first and adding them afterwards keeps
    // the lookups from waiting on memory one by one.
    uint32_t Hash(std::string_view text) const;
    uint32_t Hash(std::u16string_view text) const;

    // The index of the text (counting one more text cell in the table);
    // `hash` is the text's Hash.
    uint32_t Add(std::string_view text, uint32_t hash);
    uint32_t Add(std::u16string_view text, uint32_t hash);

private:
    // A used slot holds its text's table index + 1 (0 when free) and the
    // text's hash, so that a probe compares texts only when the hashes agree
    // and growing never hashes a text again.
    struct Slot {
        uint32_t entry;
        uint32_t hash;
    };
    // Open addressing with linear probing.
    struct Slots {
        std::vector<Slot, BlockAllocator<Slot>> slots;
        size_t used = 0;
    };

    template <typename Char>
    static uint32_t Hash(const Slots& table, std::basic_string_view<Char> key);
    template <typename Char>
    uint32_t Add(Slots& table, std::basic_string_view<Char> key, uint32_t hash);
    static void Grow(Slots& table);

    SharedStringTable& sst_;
    Slots narrow_;
    Slots wide_;
};

}  // namespace xls

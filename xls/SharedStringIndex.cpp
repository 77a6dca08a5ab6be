#include "xls/SharedStringIndex.h"

#include <cstring>

namespace xls {

namespace {

// At most half of the slots are used, so a probe soon meets a free slot.
size_t SlotCountFor(size_t texts) {
    size_t count = 16;
    while (count < 2 * texts) {
        count *= 2;
    }
    return count;
}

// Up to 8 bytes (size 1 to 8) as one word, each byte read once.
uint64_t LoadShort(const unsigned char* bytes, size_t size) {
    uint32_t low = 0;
    uint32_t high = 0;
    if (size >= 4) {
        std::memcpy(&low, bytes, sizeof low);
        std::memcpy(&high, bytes + size - sizeof high, sizeof high);
    } else {
        low = bytes[0] | uint32_t{bytes[size / 2]} << 8 | uint32_t{bytes[size - 1]} << 16;
    }
    return uint64_t{high} << 32 | low;
}

// A hash of the text's bytes in host order, eight at a time: a text is
// hashed once, when it is looked up. Words are read whole (the last one
// overlapping the one before), never through a copy of unknown length.
uint32_t HashOf(const void* data, size_t size) {
    constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    const auto* bytes = static_cast<const unsigned char*>(data);
    uint64_t hash = (size + 1) * kMultiplier;
    uint64_t word = 0;
    size_t left = size;
    for (; left > 8; left -= 8, bytes += 8) {
        std::memcpy(&word, bytes, sizeof word);
        hash = (hash ^ word) * kMultiplier;
        hash ^= hash >> 29;
    }
    if (size > 8) {
        std::memcpy(&word, bytes + left - sizeof word, sizeof word);
    } else if (size > 0) {
        word = LoadShort(bytes, size);
    }
    hash = (hash ^ word) * kMultiplier;
    hash ^= hash >> 32;
    return static_cast<uint32_t>(hash * kMultiplier >> 32);
}

// A hint to bring the memory at `address` into the cache.
void Prefetch(const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

bool IsEntryOf(const LargeString& entry, std::string_view text) {
    return entry.CharacterData() == text;
}

bool IsEntryOf(const LargeString& entry, std::u16string_view text) {
    const std::string_view bytes = entry.CharacterData();
    if (bytes.size() != 2 * text.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const auto unit = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                                static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
        if (unit != text[i]) {
            return false;
        }
    }
    return true;
}

// The text as a table entry keeps it: cut to the entry's character limit
// (and never inside a surrogate pair).
std::string_view StoredKey(std::string_view text) {
    return text.substr(0, LargeString::kMaxCharacters);
}

std::u16string_view StoredKey(std::u16string_view text) {
    return LimitUtf16(text, LargeString::kMaxCharacters);
}

}  // namespace

SharedStringIndex::SharedStringIndex(SharedStringTable& sst, size_t narrowTexts, size_t wideTexts)
    : sst_(sst) {
    sst_.Clear();
    sst_.strings.reserve(narrowTexts + wideTexts);
    narrow_.slots.assign(SlotCountFor(narrowTexts), Slot{0, 0});
    wide_.slots.assign(SlotCountFor(wideTexts), Slot{0, 0});
}

uint32_t SharedStringIndex::Hash(std::string_view text) const {
    return Hash(narrow_, StoredKey(text));
}

uint32_t SharedStringIndex::Hash(std::u16string_view text) const {
    return Hash(wide_, StoredKey(text));
}

uint32_t SharedStringIndex::Add(std::string_view text, uint32_t hash) {
    return Add(narrow_, StoredKey(text), hash);
}

uint32_t SharedStringIndex::Add(std::u16string_view text, uint32_t hash) {
    return Add(wide_, StoredKey(text), hash);
}

template <typename Char>
uint32_t SharedStringIndex::Hash(const Slots& table, std::basic_string_view<Char> key) {
    const uint32_t hash = HashOf(key.data(), key.size() * sizeof(Char));
    Prefetch(&table.slots[hash & (table.slots.size() - 1)]);
    return hash;
}

template <typename Char>
uint32_t SharedStringIndex::Add(Slots& table, std::basic_string_view<Char> key, uint32_t hash) {
    ++sst_.totalCount;
    if (2 * (table.used + 1) > table.slots.size()) {
        Grow(table);
    }
    const size_t mask = table.slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = table.slots[i];
        if (slot.entry == 0) {
            sst_.strings.emplace_back(key);
            slot = Slot{++sst_.uniqueCount, hash};
            ++table.used;
            return slot.entry - 1;
        }
        if (slot.hash == hash && IsEntryOf(sst_.strings[slot.entry - 1], key)) {
            return slot.entry - 1;
        }
    }
}

void SharedStringIndex::Grow(Slots& table) {
    const auto old = std::move(table.slots);
    table.slots.assign(old.size() * 2, Slot{0, 0});
    const size_t mask = table.slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.entry != 0) {
            size_t i = slot.hash & mask;
            while (table.slots[i].entry != 0) {
                i = (i + 1) & mask;
            }
            table.slots[i] = slot;
        }
    }
}

}  // namespace xls

#include "xls/SharedStringIndex.h"

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

// FNV-1a over the code units.
template <typename Char>
size_t HashOf(std::basic_string_view<Char> text) {
    uint64_t hash = 14695981039346656037ull;
    for (Char unit : text) {
        hash = (hash ^ static_cast<uint64_t>(unit)) * 1099511628211ull;
    }
    return static_cast<size_t>(hash ^ (hash >> 32));
}

std::string_view EntryText(const LargeString& entry, char) {
    return entry.Narrow();
}

std::u16string_view EntryText(const LargeString& entry, char16_t) {
    return entry.Wide();
}

// The text as a table entry keeps it: cut to the entry's character limit
// (and never inside a surrogate pair).
std::string_view StoredKey(const std::string& text) {
    return std::string_view(text).substr(0, LargeString::kMaxCharacters);
}

std::u16string_view StoredKey(const std::u16string& text) {
    if (text.size() <= LargeString::kMaxCharacters) {
        return text;
    }
    return std::u16string_view(text).substr(0,
                                            LimitUtf16(text, LargeString::kMaxCharacters).size());
}

}  // namespace

SharedStringIndex::SharedStringIndex(SharedStringTable& sst, size_t narrowTexts, size_t wideTexts)
    : sst_(sst) {
    sst_.Clear();
    sst_.strings.reserve(narrowTexts + wideTexts);
    narrow_.slots.assign(SlotCountFor(narrowTexts), 0);
    wide_.slots.assign(SlotCountFor(wideTexts), 0);
}

uint32_t SharedStringIndex::Add(const std::string& text) {
    return Add(narrow_, StoredKey(text), text);
}

uint32_t SharedStringIndex::Add(const std::u16string& text) {
    return Add(wide_, StoredKey(text), text);
}

template <typename Char>
uint32_t SharedStringIndex::Add(Slots& table, std::basic_string_view<Char> key,
                                const std::basic_string<Char>& text) {
    ++sst_.totalCount;
    if (2 * (table.used + 1) > table.slots.size()) {
        Grow<Char>(table);
    }
    const size_t mask = table.slots.size() - 1;
    for (size_t i = HashOf(key) & mask;; i = (i + 1) & mask) {
        uint32_t& slot = table.slots[i];
        if (slot == 0) {
            sst_.strings.emplace_back(text);
            slot = ++sst_.uniqueCount;
            ++table.used;
            return slot - 1;
        }
        if (EntryText(sst_.strings[slot - 1], Char{}) == key) {
            return slot - 1;
        }
    }
}

template <typename Char>
void SharedStringIndex::Grow(Slots& table) {
    std::vector<uint32_t> old = std::move(table.slots);
    table.slots.assign(old.size() * 2, 0);
    const size_t mask = table.slots.size() - 1;
    for (uint32_t slot : old) {
        if (slot != 0) {
            size_t i = HashOf(EntryText(sst_.strings[slot - 1], Char{})) & mask;
            while (table.slots[i] != 0) {
                i = (i + 1) & mask;
            }
            table.slots[i] = slot;
        }
    }
}

}  // namespace xls

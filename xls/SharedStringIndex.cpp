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

// FNV-1a over the character bytes as the table writes them, so that a text
// and its table entry hash alike.
class ByteHash {
public:
    void Add(uint8_t byte) { hash_ = (hash_ ^ byte) * 1099511628211ull; }
    size_t Value() const { return static_cast<size_t>(hash_ ^ (hash_ >> 32)); }

private:
    uint64_t hash_ = 14695981039346656037ull;
};

size_t HashOf(std::string_view bytes) {
    ByteHash hash;
    for (char byte : bytes) {
        hash.Add(static_cast<uint8_t>(byte));
    }
    return hash.Value();
}

size_t HashOf(std::u16string_view units) {
    ByteHash hash;
    for (char16_t unit : units) {
        hash.Add(static_cast<uint8_t>(unit));
        hash.Add(static_cast<uint8_t>(unit >> 8));
    }
    return hash.Value();
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
    narrow_.slots.assign(SlotCountFor(narrowTexts), 0);
    wide_.slots.assign(SlotCountFor(wideTexts), 0);
}

uint32_t SharedStringIndex::Add(std::string_view text) {
    return Add(narrow_, StoredKey(text));
}

uint32_t SharedStringIndex::Add(std::u16string_view text) {
    return Add(wide_, StoredKey(text));
}

template <typename Char>
uint32_t SharedStringIndex::Add(Slots& table, std::basic_string_view<Char> key) {
    ++sst_.totalCount;
    if (2 * (table.used + 1) > table.slots.size()) {
        Grow(table);
    }
    const size_t mask = table.slots.size() - 1;
    for (size_t i = HashOf(key) & mask;; i = (i + 1) & mask) {
        uint32_t& slot = table.slots[i];
        if (slot == 0) {
            sst_.strings.emplace_back(key);
            slot = ++sst_.uniqueCount;
            ++table.used;
            return slot - 1;
        }
        if (IsEntryOf(sst_.strings[slot - 1], key)) {
            return slot - 1;
        }
    }
}

void SharedStringIndex::Grow(Slots& table) {
    std::vector<uint32_t> old = std::move(table.slots);
    table.slots.assign(old.size() * 2, 0);
    const size_t mask = table.slots.size() - 1;
    for (uint32_t slot : old) {
        if (slot != 0) {
            size_t i = HashOf(sst_.strings[slot - 1].CharacterData()) & mask;
            while (table.slots[i] != 0) {
                i = (i + 1) & mask;
            }
            table.slots[i] = slot;
        }
    }
}

}  // namespace xls

// An owned byte string in 24 bytes, for the many short texts of a workbook
// (cell texts, shared string table entries): up to 23 bytes are held in
// place, longer ones in one heap block of their exact size. Byte-aligned, so
// that an owner can put a flag byte right behind it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace xls {

class TextBytes {
public:
    TextBytes() noexcept : raw_{} {}
    explicit TextBytes(std::string_view bytes) : TextBytes() { Assign(bytes); }
    TextBytes(const TextBytes& other) : TextBytes() { Assign(other.View()); }
    TextBytes(TextBytes&& other) noexcept;
    TextBytes& operator=(const TextBytes& other);
    TextBytes& operator=(TextBytes&& other) noexcept;
    ~TextBytes() { Clear(); }

    void Assign(std::string_view bytes) {
        char* data = Resize(bytes.size());
        if (!bytes.empty()) {
            std::memcpy(data, bytes.data(), bytes.size());
        }
    }
    // Room for `size` bytes, returned for the caller to fill; the old bytes are gone.
    char* Resize(size_t size) {
        Clear();
        if (size > kInlineCapacity) {
            return AllocateOnHeap(size);
        }
        raw_[kTag] = static_cast<char>(size);
        return raw_;
    }
    void Clear() noexcept {
        if (OnHeap()) {
            delete[] HeapData();
        }
        raw_[kTag] = 0;
    }

    std::string_view View() const {
        if (!OnHeap()) {
            return {raw_, static_cast<size_t>(static_cast<unsigned char>(raw_[kTag]))};
        }
        uint32_t count = 0;
        std::memcpy(&count, raw_ + sizeof(char*), sizeof count);
        return {HeapData(), count};
    }
    size_t Size() const { return View().size(); }
    bool Empty() const { return raw_[kTag] == 0; }

private:
    static constexpr size_t kTag = 23;
    static constexpr size_t kInlineCapacity = kTag;
    // Tag of a heap string: the block's address and the u32 size lie in front.
    static constexpr char kOnHeap = static_cast<char>(0xFF);

    bool OnHeap() const { return raw_[kTag] == kOnHeap; }
    char* AllocateOnHeap(size_t size);
    char* HeapData() const {
        char* data = nullptr;
        std::memcpy(&data, raw_, sizeof data);
        return data;
    }

    // In place: the bytes, then their count in the tag byte.
    char raw_[24];
};

}  // namespace xls

#include "xls/records/TextBytes.h"

#include <cstring>

namespace xls {

TextBytes::TextBytes(TextBytes&& other) noexcept {
    std::memcpy(raw_, other.raw_, sizeof raw_);
    other.raw_[kTag] = 0;
}

TextBytes& TextBytes::operator=(const TextBytes& other) {
    if (this != &other) {
        Assign(other.View());
    }
    return *this;
}

TextBytes& TextBytes::operator=(TextBytes&& other) noexcept {
    if (this != &other) {
        Clear();
        std::memcpy(raw_, other.raw_, sizeof raw_);
        other.raw_[kTag] = 0;
    }
    return *this;
}

char* TextBytes::AllocateOnHeap(size_t size) {
    char* data = new char[size];
    const auto count = static_cast<uint32_t>(size);
    std::memcpy(raw_, &data, sizeof data);
    std::memcpy(raw_ + sizeof data, &count, sizeof count);
    raw_[kTag] = kOnHeap;
    return data;
}

}  // namespace xls

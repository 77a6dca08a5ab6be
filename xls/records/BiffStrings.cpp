#include "xls/records/BiffStrings.h"

#include <cstring>

#include "xls/records/LittleEndian.h"

namespace xls {

namespace {

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

std::string CutNarrow(std::string text, size_t maxBytes) {
    if (text.size() > maxBytes) {
        text.resize(maxBytes);
    }
    return text;
}

std::u16string UpToNul(const std::u16string& text) {
    return text.substr(0, text.find(u'\0'));
}

std::string UpToNul(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

void WriteWideUnits(uint8_t* out, const std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        StoreU16(out + 2 * i, text[i]);
    }
}

}  // namespace

std::u16string_view LimitUtf16(std::u16string_view text, size_t maxUnits) {
    if (text.size() <= maxUnits) {
        return text;
    }
    const bool splitsPair = IsHighSurrogate(text[maxUnits - 1]);
    return text.substr(0, splitsPair ? maxUnits - 1 : maxUnits);
}

std::u16string LimitUtf16(const std::u16string& text, size_t maxUnits) {
    return std::u16string(LimitUtf16(std::u16string_view(text), maxUnits));
}

void SmallString::SetWide(const std::u16string& text) {
    narrow_.clear();
    wide_ = LimitUtf16(UpToNul(text), kMaxCharacters);
    options_ = 1;
}

void SmallString::SetNarrow(const std::string& text) {
    wide_.clear();
    narrow_ = CutNarrow(UpToNul(text), kMaxCharacters);
    options_ = 0;
}

uint32_t SmallString::CharacterCount() const {
    return static_cast<uint32_t>(IsWide() ? wide_.size() : narrow_.size());
}

uint32_t SmallString::ByteLength() const {
    return 2 + CharacterCount() * (IsWide() ? 2 : 1);
}

uint32_t SmallString::Write(uint8_t* out) const {
    StoreU8(out + 0, static_cast<uint8_t>(CharacterCount()));
    StoreU8(out + 1, options_);
    if (IsWide()) {
        WriteWideUnits(out + 2, wide_);
    } else if (!narrow_.empty()) {
        std::memcpy(out + 2, narrow_.data(), narrow_.size());
    }
    return ByteLength();
}

void LargeString::SetWide(std::u16string_view text) {
    const std::u16string_view kept = LimitUtf16(text, kMaxCharacters);
    auto* bytes = reinterpret_cast<uint8_t*>(bytes_.Resize(2 * kept.size()));
    for (size_t i = 0; i < kept.size(); ++i) {
        StoreU16(bytes + 2 * i, kept[i]);
    }
    options_ = 1;
}

void LargeString::SetNarrow(std::string_view text) {
    bytes_.Assign(text.substr(0, kMaxCharacters));
    options_ = 0;
}

void LargeString::SetOptions(uint8_t options) {
    if (((options ^ options_) & 1) != 0) {
        bytes_.Clear();
    }
    options_ = options;
}

std::u16string LargeString::Wide() const {
    if (!IsWide()) {
        return {};
    }
    const std::string_view bytes = bytes_.View();
    std::u16string text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                        static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
    }
    return text;
}

std::string LargeString::Narrow() const {
    return IsWide() ? std::string() : std::string(bytes_.View());
}

void LargeString::WriteCharacterBytes(uint8_t* out, uint32_t first, uint32_t count) const {
    if (count > 0) {
        std::memcpy(out, bytes_.View().data() + first, count);
    }
}

}  // namespace xls

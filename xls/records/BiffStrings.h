// The two string encodings of BIFF8 records. Both begin with a character count
// and an option byte whose bit 0 selects UTF-16 code units (1) or 8-bit
// characters (0):
//   SmallString  u8 count   (FONT and BOUNDSHEET names, at most 255 characters)
//   LargeString  u16 count  (STYLE names and shared strings, at most 32767)
// Longer texts are cut to the limit; a UTF-16 surrogate pair is never cut in half.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "xls/records/LittleEndian.h"
#include "xls/records/TextBytes.h"

namespace xls {

// The text cut to at most `maxUnits` code units, one fewer when the cut would
// separate a surrogate pair.
std::u16string LimitUtf16(const std::u16string& text, size_t maxUnits);
// The same cut as a view of `text`.
std::u16string_view LimitUtf16(std::u16string_view text, size_t maxUnits);

class SmallString {
public:
    static constexpr size_t kMaxCharacters = 255;

    SmallString() = default;
    explicit SmallString(const std::u16string& text) { SetWide(text); }
    explicit SmallString(const std::string& text) { SetNarrow(text); }

    // Both setters take the text up to its first NUL.
    void SetWide(const std::u16string& text);
    void SetNarrow(const std::string& text);

    bool IsWide() const { return (options_ & 1) != 0; }
    uint8_t Options() const { return options_; }
    const std::u16string& Wide() const { return wide_; }
    const std::string& Narrow() const { return narrow_; }

    uint32_t CharacterCount() const;
    uint32_t ByteLength() const;
    uint32_t Write(uint8_t* out) const;

private:
    std::u16string wide_;
    std::string narrow_;
    uint8_t options_ = 0;
};

class LargeString {
public:
    static constexpr size_t kMaxCharacters = 32767;
    static constexpr uint32_t kHeaderSize = 3;

    LargeString() = default;
    explicit LargeString(std::u16string_view text) { SetWide(text); }
    explicit LargeString(std::string_view text) { SetNarrow(text); }

    void SetWide(std::u16string_view text);
    void SetNarrow(std::string_view text);

    bool IsWide() const { return (options_ & 1) != 0; }
    uint8_t Options() const { return options_; }
    // Switching the encoding bit empties the text, as the characters were
    // given in the other encoding.
    void SetOptions(uint8_t options);
    // The option byte as written: exactly 1 for UTF-16, 0 for 8-bit characters.
    uint8_t WrittenOptions() const { return IsWide() ? 1 : 0; }
    // The UTF-16 text; empty for 8-bit text.
    std::u16string Wide() const;
    // The 8-bit text; empty for UTF-16 text.
    std::string Narrow() const;
    // The character bytes as written (UTF-16 units least significant byte first).
    std::string_view CharacterData() const { return bytes_.View(); }

    uint32_t CharacterCount() const { return CharacterBytes() / (IsWide() ? 2 : 1); }
    uint32_t CharacterBytes() const { return static_cast<uint32_t>(bytes_.Size()); }
    uint32_t ByteLength() const { return kHeaderSize + CharacterBytes(); }

    // Count and option byte (3 bytes).
    void WriteHeader(uint8_t* out) const {
        StoreU16(out + 0, static_cast<uint16_t>(CharacterCount()));
        StoreU8(out + 2, WrittenOptions());
    }
    // `count` character bytes starting at character byte `first`; UTF-16 units
    // are least significant byte first.
    void WriteCharacterBytes(uint8_t* out, uint32_t first, uint32_t count) const;
    // Header and all characters; returns ByteLength().
    uint32_t Write(uint8_t* out) const {
        const std::string_view bytes = CharacterData();
        WriteHeader(out);
        if (!bytes.empty()) {
            std::memcpy(out + kHeaderSize, bytes.data(), bytes.size());
        }
        return kHeaderSize + static_cast<uint32_t>(bytes.size());
    }

private:
    // One representation for both encodings: the character bytes as written.
    TextBytes bytes_;
    uint8_t options_ = 0;
};

}  // namespace xls

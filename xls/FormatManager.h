// Number formats and fonts of a document. The manager knows the number
// formats every reader has built in, together with the document's own
// FORMAT records, by index and by format text, and the next index free for
// a new format. It registers fonts: a font equal to a description is found
// in the document's FONT list, or appended to it.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace xls {

class XlsDocument;

// The attributes of a FONT record as one value.
struct FontDescription {
    std::u16string name;
    // In 1/20 point.
    uint16_t height = 200;
    // 400 normal, 700 bold.
    uint16_t weight = 400;
    uint16_t options = 0;
    // 0x7FFF: automatic.
    uint16_t colourIndex = 0x7FFF;
    uint16_t escapement = 0;
    uint8_t underline = 0;
    uint8_t family = 0;
    uint8_t characterSet = 0;
};

class FormatManager {
public:
    static constexpr int kFirstUserFormatIndex = 164;

    // Reads the document's FORMAT records; changes nothing. The document
    // must outlive the manager.
    explicit FormatManager(XlsDocument& document);

    // The font index of a font equal to `font` (name compared code unit for
    // code unit, every other field exactly), appending a FONT record when no
    // listed font is equal. Font indices skip 4: the fifth FONT is font 5.
    int FindOrAddFont(const FontDescription& font);

    int NextFormatIndex() const { return nextFormatIndex_; }
    const std::map<int, std::u16string>& FormatsByIndex() const { return formatsByIndex_; }
    const std::map<std::u16string, int>& IndicesByFormat() const { return indicesByFormat_; }

private:
    void AddDocumentFormats();

    XlsDocument* document_;
    int nextFormatIndex_ = kFirstUserFormatIndex;
    std::map<int, std::u16string> formatsByIndex_;
    std::map<std::u16string, int> indicesByFormat_;
};

}  // namespace xls

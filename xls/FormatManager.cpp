#include "xls/FormatManager.h"

#include <utility>

#include "xls/XlsDocument.h"

namespace xls {

namespace {

// Every reader knows these formats by index; 23 to 36 are not used.
const std::pair<int, const char16_t*> kBuiltInFormats[] = {
    {0, u"General"},
    {1, u"0"},
    {2, u"0.00"},
    {3, u"#,##0"},
    {4, u"#,##0.00"},
    {5, u"\"$\"#,##0_);(\"$\"#,##0)"},
    {6, u"\"$\"#,##0_);[Red](\"$\"#,##0)"},
    {7, u"\"$\"#,##0.00_);(\"$\"#,##0.00)"},
    {8, u"\"$\"#,##0.00_);[Red](\"$\"#,##0.00)"},
    {9, u"0%"},
    {10, u"0.00%"},
    {11, u"0.00E+00"},
    {12, u"# ?/?"},
    {13, u"# ?\?/?\?"},
    {14, u"M/D/YY"},
    {15, u"D-MMM-YY"},
    {16, u"D-MMM"},
    {17, u"MMM-YY"},
    {18, u"h:mm AM/PM"},
    {19, u"h:mm:ss AM/PM"},
    {20, u"h:mm"},
    {21, u"h:mm:ss"},
    {22, u"M/D/YY h:mm"},
    {37, u"_(#,##0_);(#,##0)"},
    {38, u"_(#,##0_);[Red](#,##0)"},
    {39, u"_(#,##0.00_);(#,##0.00)"},
    {40, u"_(#,##0.00_);[Red](#,##0.00)"},
    {41, u"_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)"},
    {42, u"_($* #,##0_);_($* (#,##0);_($* \"-\"_);_(@_)"},
    {43, u"_(* #,##0.00_);_(* (#,##0.00);_(* \"-\"?\?_);_(@_)"},
    {44, u"_($* #,##0.00_);_($* (#,##0.00);_($* \"-\"?\?_);_(@_)"},
    {45, u"mm:ss"},
    {46, u"[h]:mm:ss"},
    {47, u"mm:ss.0"},
    {48, u"##0.0E+0"},
    {49, u"@"},
};

constexpr size_t kFontsBeforeGap = 4;

// 8-bit BIFF text is compressed UTF-16: each byte is the low byte of a code
// unit whose high byte is zero.
std::u16string Widen(const std::string& text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (unsigned char c : text) {
        wide.push_back(static_cast<char16_t>(c));
    }
    return wide;
}

template <typename Text>
std::u16string WideText(const Text& text) {
    return text.IsWide() ? text.Wide() : Widen(text.Narrow());
}

// The name as a FONT record keeps it: up to the first NUL, at most 255 units.
std::u16string StoredFontName(const std::u16string& name) {
    return SmallString(name).Wide();
}

bool Matches(const Font& font, const std::u16string& name, const FontDescription& wanted) {
    return WideText(font.name) == name && font.height == wanted.height &&
           font.weight == wanted.weight && font.options == wanted.options &&
           font.colourIndex == wanted.colourIndex && font.escapement == wanted.escapement &&
           font.underline == wanted.underline && font.family == wanted.family &&
           font.characterSet == wanted.characterSet;
}

int FontIndex(size_t position) {
    return static_cast<int>(position < kFontsBeforeGap ? position : position + 1);
}

}  // namespace

FormatManager::FormatManager(XlsDocument& document) : document_(&document) {
    for (const auto& [index, text] : kBuiltInFormats) {
        formatsByIndex_[index] = text;
    }
    AddDocumentFormats();
    for (const auto& [index, text] : formatsByIndex_) {
        indicesByFormat_[text] = index;
    }
}

// A FORMAT record overrides a built-in format or an earlier record with the
// same index.
void FormatManager::AddDocumentFormats() {
    for (const Format& format : document_->Globals().formats) {
        const int index = format.index;
        formatsByIndex_[index] = WideText(format.text);
        if (index >= nextFormatIndex_) {
            nextFormatIndex_ = index + 1;
        }
    }
}

int FormatManager::FindOrAddFont(const FontDescription& wanted) {
    std::vector<Font>& fonts = document_->Globals().fonts;
    const std::u16string name = StoredFontName(wanted.name);
    for (size_t p = 0; p < fonts.size(); ++p) {
        if (Matches(fonts[p], name, wanted)) {
            return FontIndex(p);
        }
    }
    Font& font = fonts.emplace_back();
    font.height = wanted.height;
    font.options = wanted.options;
    font.colourIndex = wanted.colourIndex;
    font.weight = wanted.weight;
    font.escapement = wanted.escapement;
    font.underline = wanted.underline;
    font.family = wanted.family;
    font.characterSet = wanted.characterSet;
    font.name.SetWide(name);
    return FontIndex(fonts.size() - 1);
}

}  // namespace xls

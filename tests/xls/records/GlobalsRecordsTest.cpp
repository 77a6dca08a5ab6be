#include <gtest/gtest.h>

#include "tests/xls/records/RecordBytes.h"
#include "xls/records/BoundSheet.h"
#include "xls/records/Font.h"
#include "xls/records/Style.h"
#include "xls/records/Window1.h"
#include "xls/records/XF.h"

namespace xls {
namespace {

using test::Bytes;
using test::MakeBytes;
using test::SplitRecords;
using test::WriteBytes;

TEST(GlobalsRecords, DefaultStyle) {
    Style style;
    EXPECT_EQ(WriteBytes(style), MakeBytes({0x93, 0x02, 0x04, 0x00, 0x00, 0x80, 0x00, 0xFF}));
}

TEST(GlobalsRecords, UserStyleCarriesItsName) {
    Style style;
    style.xfIndexAndFlags = 0x8010;
    style.SetUserName(std::string("Good"));
    EXPECT_EQ(WriteBytes(style), MakeBytes({0x93, 0x02, 0x09, 0x00, 0x10, 0x00, 0x04, 0x00, 0x00,
                                            'G', 'o', 'o', 'd'}));
}

TEST(GlobalsRecords, DefaultBoundSheet) {
    BoundSheet sheet;
    sheet.streamPosition = 658;
    EXPECT_EQ(WriteBytes(sheet), MakeBytes({0x85, 0x00, 0x0E, 0x00, 0x92, 0x02, 0x00, 0x00, 0x00,
                                            0x00, 0x06, 0x00, 'S', 'h', 'e', 'e', 't', '1'}));
}

TEST(GlobalsRecords, DefaultFontIsArialInUtf16) {
    Font font;
    EXPECT_EQ(WriteBytes(font),
              MakeBytes({0x31, 0x00, 0x1A, 0x00, 0xC8, 0x00, 0x00, 0x00, 0xFF, 0x7F,
                         0x90, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0x01,
                         'A',  0x00, 'r',  0x00, 'i',  0x00, 'a',  0x00, 'l',  0x00}));
}

TEST(GlobalsRecords, DefaultWindow1AndXF) {
    Window1 window;
    EXPECT_EQ(WriteBytes(window),
              MakeBytes({0x3D, 0x00, 0x12, 0x00, 0x78, 0x00, 0x78, 0x00, 0x1F, 0x3B, 0x54,
                         0x24, 0x38, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x58, 0x02}));
    XF xf;
    EXPECT_EQ(WriteBytes(xf),
              MakeBytes({0xE0, 0x00, 0x14, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF5, 0xFF, 0x20, 0x00,
                         0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20}));
}

TEST(BiffStrings, NamesAreCutTo255Characters) {
    BoundSheet sheet;
    sheet.name.SetNarrow(std::string(300, 'n'));
    EXPECT_EQ(sheet.name.CharacterCount(), 255u);
    const Bytes bytes = WriteBytes(sheet);
    EXPECT_EQ(bytes[10], 255);
    EXPECT_EQ(bytes.size(), 4u + 8u + 255u);

    Font font;
    font.name.SetWide(std::u16string(300, u'w'));
    EXPECT_EQ(font.name.CharacterCount(), 255u);
    EXPECT_EQ(WriteBytes(font).size(), 4u + 16u + 510u);
}

TEST(BiffStrings, CutNeverSeparatesASurrogatePair) {
    std::u16string name(254, u'a');
    name += u"\U0001F600";  // units 254 and 255
    SmallString small(name);
    EXPECT_EQ(small.CharacterCount(), 254u);

    std::u16string text(32766, u'a');
    text += u"\U0001F600";  // units 32766 and 32767
    LargeString large(text);
    EXPECT_EQ(large.CharacterCount(), 32766u);

    std::u16string kept(32765, u'a');
    kept += u"\U0001F600";  // ends exactly at the limit
    EXPECT_EQ(LargeString(kept).CharacterCount(), 32767u);
}

TEST(BiffStrings, LongStringsAreCutTo32767Characters) {
    LargeString narrow(std::string(40000, 'x'));
    EXPECT_EQ(narrow.CharacterCount(), 32767u);
    EXPECT_EQ(narrow.ByteLength(), 3u + 32767u);
    LargeString wide(std::u16string(40000, u'x'));
    EXPECT_EQ(wide.CharacterCount(), 32767u);
    EXPECT_EQ(wide.ByteLength(), 3u + 2u * 32767u);
}

TEST(BiffStrings, SmallStringEndsAtNul) {
    SmallString name(std::string("ab\0cd", 5));
    EXPECT_EQ(name.Narrow(), "ab");
    uint8_t out[4] = {};
    EXPECT_EQ(name.Write(out), 4u);
    EXPECT_EQ(Bytes(out, out + 4), MakeBytes({0x02, 0x00, 'a', 'b'}));
}

TEST(BiffStrings, SettingOneEncodingDropsTheOther) {
    LargeString text(std::string("abc"));
    text.SetWide(u"\u00E9");
    EXPECT_TRUE(text.IsWide());
    EXPECT_TRUE(text.Narrow().empty());
    uint8_t out[5] = {};
    EXPECT_EQ(text.Write(out), 5u);
    EXPECT_EQ(Bytes(out, out + 5), MakeBytes({0x01, 0x00, 0x01, 0xE9, 0x00}));
}

}  // namespace
}  // namespace xls

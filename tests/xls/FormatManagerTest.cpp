#include "xls/FormatManager.h"

#include <gtest/gtest.h>

#include "xls/XlsDocument.h"

namespace xls {
namespace {

const FontDescription kBoldArial{u"Arial", 200, 700, 0, 0x7FFF, 0, 0, 0, 0};

class FormatManagerTest : public ::testing::Test {
protected:
    void SetUp() override { document.New(3); }
    std::vector<Font>& Fonts() { return document.Globals().fonts; }
    void AddFormat(uint16_t index, const std::string& text) {
        Format& format = document.Globals().formats.emplace_back();
        format.index = index;
        format.text.SetNarrow(text);
    }

    XlsDocument document;
};

TEST_F(FormatManagerTest, NewDocumentKnowsTheBuiltInFormats) {
    const FormatManager manager(document);
    const auto& byIndex = manager.FormatsByIndex();
    EXPECT_EQ(byIndex.size(), 36u);
    EXPECT_EQ(manager.IndicesByFormat().size(), 36u);
    EXPECT_EQ(manager.NextFormatIndex(), 164);
    EXPECT_EQ(byIndex.at(0), u"General");
    EXPECT_EQ(byIndex.at(5), uR"("$"#,##0_);("$"#,##0))");
    EXPECT_EQ(byIndex.at(5).size(), 21u);
    EXPECT_EQ(byIndex.at(13), uR"(# ??/??)");
    EXPECT_EQ(byIndex.at(44), uR"(_($* #,##0.00_);_($* (#,##0.00);_($* "-"??_);_(@_))");
    EXPECT_EQ(byIndex.at(49), u"@");
    EXPECT_EQ(byIndex.count(30), 0u);
    EXPECT_EQ(byIndex.count(23), 0u);
    EXPECT_EQ(manager.IndicesByFormat().at(u"h:mm:ss"), 21);
}

TEST_F(FormatManagerTest, FormatRecordReplacesABuiltInText) {
    AddFormat(5, "0.000");
    const FormatManager manager(document);
    EXPECT_EQ(manager.FormatsByIndex().at(5), u"0.000");
    EXPECT_EQ(manager.IndicesByFormat().at(u"0.000"), 5);
    EXPECT_EQ(manager.IndicesByFormat().count(uR"("$"#,##0_);("$"#,##0))"), 0u);
    EXPECT_EQ(manager.NextFormatIndex(), 164);
}

TEST_F(FormatManagerTest, NextFormatIndexFollowsTheHighestRecord) {
    struct Case {
        uint16_t index;
        int next;
    };
    for (const Case& c : {Case{200, 201}, Case{164, 165}, Case{100, 164}}) {
        document.New(1);
        AddFormat(c.index, "0.0");
        EXPECT_EQ(FormatManager(document).NextFormatIndex(), c.next) << c.index;
    }
}

TEST_F(FormatManagerTest, SameTextUnderSeveralIndicesMapsToTheHighest) {
    AddFormat(170, "0");
    AddFormat(170, "0.0");  // a later record overrides an earlier one
    AddFormat(180, "0.0");
    const FormatManager manager(document);
    EXPECT_EQ(manager.FormatsByIndex().at(170), u"0.0");
    EXPECT_EQ(manager.IndicesByFormat().at(u"0.0"), 180);
    EXPECT_EQ(manager.IndicesByFormat().at(u"0"), 1);
    EXPECT_EQ(manager.NextFormatIndex(), 181);
}

TEST_F(FormatManagerTest, ExportFontIsAddedOnce) {
    FormatManager manager(document);
    EXPECT_EQ(manager.FindOrAddFont(kBoldArial), 1);
    ASSERT_EQ(Fonts().size(), 2u);
    EXPECT_EQ(manager.FindOrAddFont(kBoldArial), 1);
    EXPECT_EQ(Fonts().size(), 2u);
    const Font& font = Fonts()[1];
    EXPECT_EQ(font.weight, 700);
    EXPECT_EQ(font.height, 200);
    EXPECT_EQ(font.colourIndex, 0x7FFF);
    EXPECT_TRUE(font.name.IsWide());
    EXPECT_EQ(font.name.Wide(), u"Arial");
    // The default font of a new document is a normal-weight Arial.
    FontDescription normal = kBoldArial;
    normal.weight = 400;
    EXPECT_EQ(manager.FindOrAddFont(normal), 0);
}

TEST_F(FormatManagerTest, FontIndexFourIsSkipped) {
    Fonts().resize(4);
    FormatManager manager(document);
    FontDescription font = kBoldArial;
    font.name = u"Courier";
    EXPECT_EQ(manager.FindOrAddFont(font), 5);
    EXPECT_EQ(Fonts().size(), 5u);
    EXPECT_EQ(manager.FindOrAddFont(font), 5);
    font.height = 240;
    EXPECT_EQ(manager.FindOrAddFont(font), 6);
}

TEST_F(FormatManagerTest, EveryFieldAndTheNameCaseMatter) {
    FormatManager manager(document);
    manager.FindOrAddFont(kBoldArial);
    FontDescription lower = kBoldArial;
    lower.name = u"arial";
    EXPECT_EQ(manager.FindOrAddFont(lower), 2);
    FontDescription normal = kBoldArial;
    normal.weight = 400;
    normal.underline = 1;
    EXPECT_EQ(manager.FindOrAddFont(normal), 3);
    FontDescription chinese = kBoldArial;
    chinese.characterSet = 134;
    EXPECT_EQ(manager.FindOrAddFont(chinese), 5);
    EXPECT_EQ(manager.FindOrAddFont(chinese), 5);
    EXPECT_EQ(Fonts().size(), 5u);
}

TEST_F(FormatManagerTest, NameIsTakenUpToItsFirstNul) {
    FormatManager manager(document);
    FontDescription font = kBoldArial;
    font.name = std::u16string(u"Arial\0Black", 11);
    EXPECT_EQ(manager.FindOrAddFont(font), 1);
    EXPECT_EQ(Fonts()[1].name.Wide(), u"Arial");
    EXPECT_EQ(manager.FindOrAddFont(kBoldArial), 1);
}

}  // namespace
}  // namespace xls

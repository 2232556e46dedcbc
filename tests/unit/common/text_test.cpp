#include "common/text.h"
#include "common/xml.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace veltrano::text {
namespace {

TEST(Text, ConversionsRoundTripAndReplaceBrokenInput) {
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("Чек №1 😀")), "Чек №1 😀");
    EXPECT_EQ(Utf8ToUtf16("😀").size(), 2u);
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\xFFFD");
    EXPECT_EQ(Utf8ToUtf16("a\xE2\x82"), u"a\xFFFD\xFFFD");
}

TEST(Text, WidthsCountCharactersNotBytes) {
    struct Case {
        std::string_view text;
        std::size_t length;
    } cases[] = {{"", 0}, {"ИТОГО", 5}, {"abc", 3}, {"Ё😀x", 3}};
    for (const auto& c : cases)
        EXPECT_EQ(Length(c.text), c.length) << c.text;
    EXPECT_EQ(Substr("ПРИВЕТ мир", 2, 4), "ИВЕТ");
    EXPECT_EQ(Substr("abc", 5, 2), "");
    EXPECT_EQ(Substr("абв", 1), "бв");
}

TEST(Text, AdvanceStepsOverCharactersFromAnyPosition) {
    const std::string text = "aЖ€😀b";
    EXPECT_EQ(Advance(text, 0, 1), 1u);
    EXPECT_EQ(Advance(text, 1, 1), 3u);
    EXPECT_EQ(Advance(text, 3, 2), 10u);
    EXPECT_EQ(Advance(text, 10, 5), text.size()) << "stops at the end";
    EXPECT_EQ(Advance(text, 0, 0), 0u);
    EXPECT_EQ(Substr(text, 1, 3), "Ж€😀");
}

TEST(Text, TrimRemovesSpacesAndControlCharacters) {
    EXPECT_EQ(Trim(" \t\r\n текст \x01"), "текст");
    EXPECT_EQ(TrimRight("a  "), "a");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(Trim("   "), "");
}

TEST(Text, LetterCaseCoversCyrillic) {
    EXPECT_EQ(ToUpper("[отрезка] ёж cut"), "[ОТРЕЗКА] ЁЖ CUT");
    EXPECT_EQ(ToLower("ЛогВключен"), "логвключен");
    EXPECT_TRUE(EqualsNoCase("LogEnabled", "logenabled"));
    EXPECT_FALSE(EqualsNoCase("Log", "Logs"));
    EXPECT_EQ(Repeat("=", 3), "===");
}

TEST(Xml, DocumentsCarryTheDeclarationAndCrLf) {
    pugi::xml_document doc;
    xml::InitDocument(doc);
    EXPECT_EQ(xml::ToText(doc), "<?xml version=\"1.0\"?>\r\n");
    auto root = doc.append_child("OutputParameters");
    root.append_child("Parameters").append_attribute("ShiftNumber") = "1";
    EXPECT_EQ(xml::ToText(doc),
              "<?xml version=\"1.0\"?>\r\n<OutputParameters>\r\n  <Parameters ShiftNumber=\"1\" />\r\n"
              "</OutputParameters>\r\n");
}

TEST(Xml, ParseFailsWithTheParsersMessage) {
    pugi::xml_document doc;
    EXPECT_THROW(xml::Parse(doc, ""), std::runtime_error);
    try {
        xml::Parse(doc, "<a><b></a>");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("mismatch"), std::string::npos) << e.what();
    }
    EXPECT_THROW(xml::Parse(doc, "<a/><b/>"), std::runtime_error);
    EXPECT_THROW(xml::Parse(doc, "<?xml version=\"1.0\"?><!-- only a comment -->"), std::runtime_error);
    xml::Parse(doc, "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a x=\"б\"/>");
    EXPECT_STREQ(doc.document_element().attribute("x").value(), "б");
}

} // namespace
} // namespace veltrano::text

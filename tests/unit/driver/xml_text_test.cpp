#include "driver/xml_text.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace veltrano::driver {
namespace {

using namespace std::string_literals;

struct SanitizeCase {
    const char* name;
    std::u16string input;
    std::u16string kept;
};

class SanitizeXmlTextTest : public ::testing::TestWithParam<SanitizeCase> {};

TEST_P(SanitizeXmlTextTest, KeepsOnlyCodeUnitsXmlAllows) {
    EXPECT_EQ(SanitizeXmlText(GetParam().input), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SanitizeXmlTextTest,
    ::testing::Values(SanitizeCase{"Plain", u"<a x=\"1\">Чек</a>", u"<a x=\"1\">Чек</a>"},
                      SanitizeCase{"TabLineFeedReturn", u"a\tb\nc\rd", u"a\tb\nc\rd"},
                      SanitizeCase{"OtherControls", u"a\u0000b\u0001c\u0008d\u000Be\u000Cf\u001Fg"s,
                                   u"abcdefg"},
                      SanitizeCase{"VerticalTab", u"Молоко\u000B 3,2%", u"Молоко 3,2%"},
                      SanitizeCase{"Edges", u"\u0020\uD7FF\uE000\uFFFD", u"\u0020\uD7FF\uE000\uFFFD"},
                      SanitizeCase{"NonCharacters", u"x\uFFFEy\uFFFFz", u"xyz"},
                      SanitizeCase{"SurrogatePair", u"Торт \U0001F382!", u"Торт !"},
                      SanitizeCase{"LoneHighSurrogate",
                                   u"a\xD83D"
                                   u"b",
                                   u"ab"},
                      SanitizeCase{"LoneLowSurrogate",
                                   u"a\xDC00"
                                   u"b",
                                   u"ab"},
                      SanitizeCase{"DelAndC1StayAllowed", u"a\u007F\u0085b", u"a\u007F\u0085b"},
                      SanitizeCase{"Empty", u"", u""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseXmlTextTest, ParsesWhatRemainsAfterSanitising) {
    pugi::xml_document doc;
    ParseXmlText(doc, u"<Positions><Item Name=\"Торт \U0001F382\u000B\"/></Positions>");
    EXPECT_STREQ(doc.document_element().child("Item").attribute("Name").value(), "Торт ");
}

TEST(ParseXmlTextTest, MalformedTextFailsWithTheParsersMessage) {
    for (const char* text : {"<a><b></a>", "<a x=1/>", "<a"}) {
        pugi::xml_document probe;
        const pugi::xml_parse_result parsed = probe.load_string(text);
        ASSERT_FALSE(parsed) << text;
        pugi::xml_document doc;
        try {
            ParseXmlText(doc, std::u16string(text, text + std::char_traits<char>::length(text)));
            ADD_FAILURE() << "parsed " << text;
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(parsed.description()), std::string::npos)
                << error.what();
        }
    }
}

TEST(ParseXmlTextTest, EmptyOrNothingButForbiddenCharactersIsNoDocument) {
    for (const std::u16string text : {u"", u"\u0001\u0002", u"   "}) {
        pugi::xml_document doc;
        EXPECT_THROW(ParseXmlText(doc, text), std::runtime_error);
    }
}

} // namespace
} // namespace veltrano::driver

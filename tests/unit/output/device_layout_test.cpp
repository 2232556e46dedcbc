#include "common/text.h"
#include "output_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrano::output {
namespace {

using test::DeviceTest;

std::string Spaces(std::size_t count) {
    return std::string(count, ' ');
}
std::string Repeat(char c, std::size_t count) {
    return std::string(count, c);
}

struct PrintTextCase {
    const char* name;
    int lineLen;
    std::string left, right;
    std::vector<std::string> expected;
};

using PrintText = DeviceTest;

TEST_F(PrintText, LaysOutLinesOfExactlyLineLenCharacters) {
    const std::string tagged = "Участие в [b] дисконтной программе [/b] ";
    const PrintTextCase cases[] = {
        {"both sides empty", 42, "", "", {Spaces(42)}},
        {"total", 42, "ИТОГО", "=100.00", {"ИТОГО" + Spaces(30) + "=100.00"}},
        {"cyrillic counts characters", 24, "Привет", "Мир", {"Привет" + Spaces(15) + "Мир"}},
        {"only the right side", 10, "", "=1.00", {Spaces(5) + "=1.00"}},
        {"fifty characters",
         42,
         Repeat('a', 42) + " bcdefg ",
         "=1.00",
         {Repeat('a', 42), "bcdefg" + Spaces(31) + "=1.00"}},
        {"right side on its own line",
         42,
         Repeat('x', 40),
         "=100.00",
         {Repeat('x', 40) + Spaces(2), "=100.00" + Spaces(35)}},
        {"a full line pushes the right side down",
         10,
         Repeat('x', 10),
         "=1",
         {Repeat('x', 10), "=1" + Spaces(8)}},
        {"a right side longer than the line stays whole",
         10,
         "a",
         Repeat('r', 12),
         {"a" + Spaces(9), Repeat('r', 12)}},
        {"a tagged line is kept whole", 10, tagged, "=5.00", {tagged}},
        {"paragraphs", 10, "abc\r\ndef", "=1", {"abc" + Spaces(7), "def" + Spaces(5) + "=1"}},
        {"empty paragraphs give no line", 10, "\r\n\r\nabc\r\n", "", {"abc" + Spaces(7)}},
        {"tab and control characters",
         10,
         "a\tb\x01"
         "c",
         "",
         {"a bc" + Spaces(6)}},
        {"no-break space", 10, "a\u00A0b", "", {"a b" + Spaces(7)}},
        {"a lone CR or LF is an ordinary character", 10, "a\rb\nc", "", {"a\rb\nc" + Spaces(5)}},
        {"later pieces lose their spaces, the first keeps them",
         5,
         "  abc   de  f",
         "",
         {"  abc", "de" + Spaces(3), "f" + Spaces(4)}},
        {"only spaces on the left", 10, "   ", "R", {Spaces(9) + "R"}},
        {"a cut tag in any case keeps the line whole", 10, "[ОТРЕЗКА]", "", {"[ОТРЕЗКА]"}},
    };
    for (const auto& c : cases) {
        device.ClearBuffer();
        device.LineLen = c.lineLen;
        device.PrintText(c.left, c.right);
        EXPECT_EQ(BufferTexts(), c.expected) << c.name;
        for (const ReceiptEntry& entry : device.ReceiptStrList())
            EXPECT_EQ(entry.NumType(), KindTextLine) << c.name;
    }
}

TEST_F(PrintText, WorksWithLinesLongerThanOneByteCanCount) {
    device.LineLen = 300;
    device.PrintText(Repeat('a', 700), "=9.99");
    const std::vector<std::string> expected{Repeat('a', 300), Repeat('a', 300),
                                            Repeat('a', 100) + Spaces(195) + "=9.99"};
    EXPECT_EQ(BufferTexts(), expected);
}

// A million-character text (a cashier's name the host handed over) is cut in one pass: every piece starts where
// the last one ended, and the pieces put together give the text again.
TEST_F(PrintText, CutsAMillionCharactersIntoWholePieces) {
    device.LineLen = 42;
    const std::string left = text::Repeat("Жx", 1 << 19);
    device.PrintText(left, "");
    const std::vector<std::string> lines = BufferTexts();
    ASSERT_EQ(lines.size(), ((1u << 20) + 41) / 42);
    std::string joined;
    for (const std::string& line : lines) {
        ASSERT_EQ(text::Length(line), 42u);
        joined += line;
    }
    EXPECT_EQ(text::TrimRight(joined), left);
}

TEST_F(PrintText, CutsCyrillicTextByCharactersNotBytes) {
    device.LineLen = 24;
    const std::string left = text::Repeat("Ж", 30);
    device.PrintText(left, "");
    const std::vector<std::string> expected{text::Repeat("Ж", 24), text::Repeat("Ж", 6) + Spaces(18)};
    EXPECT_EQ(BufferTexts(), expected);
}

TEST_F(DeviceTest, PrintTextCenterTrimsThenCentres) {
    device.LineLen = 10;
    device.PrintTextCenter("  abcdefghi  ");
    device.PrintTextCenter("abcdefghijkl");
    device.PrintTextCenter("Чек");
    const std::vector<std::string> expected{"abcdefghi ", "bcdefghijk", Spaces(3) + "Чек" + Spaces(4)};
    EXPECT_EQ(BufferTexts(), expected);
}

TEST_F(DeviceTest, CodesAndGraphicTextBecomeEntriesOfTheirKind) {
    device.PrintBarcode("2900001462105", KindEAN13);
    device.PrintBarcode("46120441", KindEAN8);
    device.PrintBarcode("2PMP-468-PJM", KindCode39);
    device.PrintQRcode("t=20240501T1345&s=100.00");
    auto descriptor = MakePrintObject(KindGraphicText, "Graphic text1");
    descriptor->FontName = "Arial";
    descriptor->FontSize = 10;
    device.PrintGraphicText(descriptor);

    const auto& buffer = device.ReceiptStrList();
    ASSERT_EQ(buffer.size(), 5u);
    const std::vector<std::string> texts{"2900001462105", "46120441", "2PMP-468-PJM",
                                         "t=20240501T1345&s=100.00", "Graphic text1"};
    EXPECT_EQ(BufferTexts(), texts);
    const int kinds[] = {KindEAN13, KindEAN8, KindCode39, KindQRCode, KindGraphicText};
    for (std::size_t i = 0; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i].NumType(), kinds[i]) << i;
    EXPECT_EQ(buffer[4].Object, descriptor);
    EXPECT_NE(buffer[0].Object, buffer[1].Object);
}

TEST_F(DeviceTest, GraphicTextWithoutADescriptorIsRefusedAndAddsNothing) {
    EXPECT_THROW(device.PrintGraphicText(nullptr), std::invalid_argument);
    EXPECT_TRUE(device.ReceiptStrList().empty());
}

TEST_F(DeviceTest, ClearBufferEmptiesTheBuffer) {
    device.PrintText("a", "b");
    device.PrintQRcode("q");
    device.ClearBuffer();
    EXPECT_TRUE(device.ReceiptStrList().empty());
}

} // namespace
} // namespace veltrano::output

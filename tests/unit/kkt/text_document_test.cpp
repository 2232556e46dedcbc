#include "kkt/operations/text_document.h"
#include "kkt/operations/text_document_barcode.h"
#include "kkt/operations/text_document_graphic.h"
#include "registration_fixture.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace veltrano::kkt::testing::documents {
namespace {

constexpr std::string_view BadInput = "Ошибка входных параметров команды";

// One buffer item as the printer will get it.
struct Item {
    int kind;
    std::string text;
    std::string fontName;
    int fontSize;
    std::string fontStyle;
    bool operator==(const Item&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Item& item) {
    return out << "{" << item.kind << ", \"" << item.text << "\", \"" << item.fontName << "\", "
               << item.fontSize << ", \"" << item.fontStyle << "\"}";
}

Item TextItem(std::string text) {
    return {output::KindTextLine, std::move(text), "", 0, ""};
}

class TextDocument : public DocumentsTest {
protected:
    void SetUp() override {
        DocumentsTest::SetUp();
        Instance().GT[0] = {"Arial", 10, false, false, false, false};
        Instance().GT[1] = {"Times New Roman", 15, true, true, false, false};
        Instance().GT[3] = {"Verdana", 13, true, false, true, true};
    }

    void Print(std::string_view package) { PrintTextDocument(Instance(), Xml(package)); }

    std::vector<Item> Items() {
        std::vector<Item> items;
        for (const output::ReceiptEntry& entry : Device().ReceiptStrList()) {
            const output::PrintObject& object = *entry.Object;
            items.push_back(
                {entry.NumType(), entry.Text, object.FontName, object.FontSize, object.FontStyle});
        }
        return items;
    }
};

TEST_F(TextDocument, LinesBarcodesAndGraphicTextReachTheBufferInOrder) {
    Instance().EnablePrinting = 2;
    Instance().EnableReportPrinting = 2;
    const std::string counted = [this] {
        std::string bytes = StorageBytes();
        const std::string before = "<TotalDocCounter Value=\"0\"";
        bytes.replace(bytes.find(before), before.size(), "<TotalDocCounter Value=\"1\"");
        return bytes;
    }();

    Print(R"(<Document NoCut="false"><Positions>
        <TextString Text="Оплата картой"/>
        <textstring Text="[gt2]Скидка 10%[/gt2]"/>
        <TEXTSTRING Text="Итог [GT1]сумма[//gt1] руб."/>
        <TextString Text="[gt3]без закрытия"/>
        <TextString Text="---[Cut]---"/>
        <TextString Text="[b]Жирный[/b]"/>
        <Barcode Type="ean13" Value="4601234567893"/>
        <Barcode Type="QR" Value="A&amp;amp;B"/>
        <Barcode Type="EAN8" ValueBase64="NDYxMjA0NDE="/>
        <BARCODE Type="Code39" Value="&amp;lt;X&amp;gt;"/>
        <Barcode Type="PDF417" Value="1"/>
        <GraphicText Text="Спасибо" FontName="Arial" FontStyle="bold " FontSize="14"/>
        <graphictext Text="!" FontSize="огромный"/>
        <GraphicText Text="?" FontSize=" 99999999999 "/>
        <Picture Text="не печатается"/>
        </Positions></Document>)");

    EXPECT_EQ(Items(), (std::vector<Item>{
                           TextItem(Line("Оплата картой")),
                           {output::KindGraphicText, "Скидка 10%", "Times New Roman", 15, "bold italic "},
                           {output::KindGraphicText, "сумма", "Arial", 10, ""},
                           TextItem("[gt3]без закрытия"),
                           TextItem("[CUT]"),
                           TextItem("[b]Жирный[/b]"),
                           {output::KindEAN13, "4601234567893", "", 0, ""},
                           {output::KindQRCode, "A&B", "", 0, ""},
                           {output::KindEAN8, "46120441", "", 0, ""},
                           {output::KindCode39, "<X>", "", 0, ""},
                           {output::KindGraphicText, "Спасибо", "Arial", 14, "bold "},
                           {output::KindGraphicText, "!", "", 12, ""},
                           {output::KindGraphicText, "?", "", 12, ""},
                       }));
    // The output file takes the text lines without their tags; the cut shows as an empty line.
    EXPECT_EQ(NewOutputLines(), (Lines{Line("Оплата картой"), "без закрытия", "", "Жирный"}));
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].caption, "Текстовый документ");
    EXPECT_EQ(Shown()[0].number, "1");
    EXPECT_EQ(printed, 1);
    // Counted as a document and nothing else: no shift, no fiscal counter, no register.
    EXPECT_EQ(StorageBytes(), counted);
}

TEST_F(TextDocument, AnEmptyDocumentIsStillCountedShownAndPrinted) {
    EditStorage({{"TotalDocCounter", "41"}, {"DayState", "2"}});
    Print("<Document><Positions/></Document>");
    EXPECT_TRUE(Items().empty());
    EXPECT_TRUE(NewOutputLines().empty());
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].number, "42");
    EXPECT_EQ(printed, 1);
    ExpectStored({{"TotalDocCounter", "42"}, {"DayState", "2"}});
}

TEST_F(TextDocument, TheCutMarkerFollowsTheCutStringSetting) {
    const std::vector<std::tuple<std::string, std::string, std::string>> cases{
        {"[CUT]", "---[Cut]---", "[CUT]"},
        {"[ОТРЕЗАТЬ]", "конец [отрезать] листа", "[ОТРЕЗАТЬ]"},
        {"[CUT]", "[cu t]", "[cu t]"},
        // A cut string left empty marks nothing.
        {"", "---", "---"},
    };
    for (const auto& [marker, line, laidOut] : cases) {
        Instance().SetCutMarker(marker);
        Print("<Document><Positions><TextString Text=\"" + line + "\"/></Positions></Document>");
        ASSERT_EQ(Items().size(), 1u) << line;
        EXPECT_EQ(text::TrimRight(Items()[0].text), laidOut) << line;
    }
}

TEST_F(TextDocument, RefusalsKeepTheStorageAndProduceNoDocument) {
    const std::vector<std::pair<const char*, std::string>> cases{
        {"empty package", ""},
        {"another root", "<TextDocument><Positions/></TextDocument>"},
        {"no Positions", "<Document NoCut=\"true\"/>"},
        {"Positions spelt otherwise", "<Document><positions/></Document>"},
        {"ValueBase64 with a character outside the alphabet",
         "<Document><Positions><TextString Text=\"a\"/><Barcode Type=\"QR\" "
         "ValueBase64=\"QU*=\"/></Positions>"
         "</Document>"},
    };
    for (const auto& [name, package] : cases) {
        SCOPED_TRACE(name);
        ExpectRefused([&] { Print(package); },
                      package.find("Base64") != std::string::npos
                          ? "Значение штрихкода ValueBase64 не является текстом Base64"
                          : BadInput);
    }
}

TEST(ReadNoCut, OnlyTrueInAnyLetterCaseSuppressesTheCut) {
    const std::vector<std::pair<const char*, bool>> cases{
        {R"(<Document NoCut="True"/>)", true}, {R"(<Document NoCut="TRUE"/>)", true},
        {R"(<Document NoCut="true"/>)", true}, {R"(<Document NoCut="False"/>)", false},
        {R"(<Document NoCut="1"/>)", false},   {R"(<Document NoCut=" true"/>)", false},
        {R"(<Document NoCut=""/>)", false},    {R"(<Document/>)", false},
    };
    for (const auto& [source, noCut] : cases)
        EXPECT_EQ(ReadNoCut(Xml(source).document_element()), noCut) << source;
}

TEST(FindGraphicTextBlock, TakesTheTextBetweenTheFirstOpeningAndTheFirstClosingTag) {
    using Block = std::optional<std::pair<int, std::string>>;
    const std::vector<std::pair<std::string, Block>> cases{
        {"[gt2]Скидка 10%[/gt2]", std::pair{2, "Скидка 10%"}},
        {"Итог [GT1]сумма[//gt1] руб.", std::pair{1, "сумма"}},
        {"[gt1]a[/gt2]b[/gt1]", std::pair{1, "a"}},
        {"a[gt1]b[gt2]c[/gt2]", std::pair{1, "b[gt2]c"}},
        {"[/gt1]раньше[gt4]", std::pair{4, ""}},
        {"[gt5][/gt5]", std::pair{5, ""}},
        {"\xff[Gt3]x[///GT3]", std::pair{3, "x"}},
        {"[gt3]без закрытия", std::nullopt},
        {"без открытия[/gt3]", std::nullopt},
        {"[gt6]x[/gt6]", std::nullopt},
        {"[gt0]x[/gt1]", std::nullopt},
        {"[gt 1]x[/gt1]", std::nullopt},
        {"[gt2]x[\\gt2]", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [line, expected] : cases) {
        const std::optional<GraphicTextBlock> block = FindGraphicTextBlock(line);
        const Block found = block ? Block(std::pair{block->Style, block->Text}) : std::nullopt;
        EXPECT_EQ(found, expected) << line;
    }
}

TEST(UnescapeXml, ReplacesTheFiveEntitiesOnceEachInTheirOrder) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"A&amp;B", "A&B"},
        {"&quot;&apos;&lt;&gt;", "\"'<>"},
        {"&amp;amp;", "&amp;"},
        {"&amp;lt;", "&lt;"},
        {"&AMP;", "&AMP;"},
        {"&&amp;;", "&&;"},
        {"", ""},
    };
    for (const auto& [escaped, plain] : cases)
        EXPECT_EQ(UnescapeXml(escaped), plain) << escaped;
}

TEST(BarcodeData, TakesTheValueOrElseTheDecodedBase64) {
    const std::vector<std::pair<const char*, std::string>> cases{
        {R"(<Barcode Value="123" ValueBase64="NDU2"/>)", "123"},
        {R"(<Barcode Value="" ValueBase64="NDU2"/>)", "456"},
        {R"(<Barcode ValueBase64="QSZhbXA7Qg=="/>)", "A&B"},
        {R"(<Barcode ValueBase64="0KHQutC40LTQutCw"/>)", "Скидка"},
        {R"(<Barcode ValueBase64="/w=="/>)", "\xef\xbf\xbd"},
        {R"(<Barcode/>)", ""},
    };
    for (const auto& [source, data] : cases)
        EXPECT_EQ(BarcodeData(Xml(source).document_element()), data) << source;
    EXPECT_THROW(BarcodeData(Xml(R"(<Barcode ValueBase64="QQ=A"/>)").document_element()), std::exception);
}

} // namespace
} // namespace veltrano::kkt::testing::documents

// Text documents and receipt copies through НапечататьТекстовыйДокумент and НапечататьКопиюЧека.
#include "host_kkt_documents_fixture.h"

#include <string>

namespace veltrano::hosttest::documents {
namespace {

class KktTextDocumentHostTest : public KktDocumentsHostTest {};

TEST_F(KktTextDocumentHostTest, ATextDocumentNeedsNoShiftIsCountedAndWritesOnlyItsTextLines) {
    const std::string id = Connect(Settings({{"EnablePrinting", "2"}, {"EnableReportPrinting", "2"}}));
    ASSERT_FALSE(id.empty());
    const std::string before = StorageBytes();

    const CallResult printed = TextDocument(id, R"(<?xml version="1.0"?>
<Document NoCut="TRUE">
  <Positions>
    <TextString Text="ОПЛАТА КАРТОЙ"/>
    <TextString Text="Терминал: 00012345"/>
    <TextString Text="[gt2]Скидка 10%[/gt2]"/>
    <TextString Text="Итог [GT1]сумма[//gt1] руб."/>
    <Barcode Type="EAN13" Value="4601234567893"/>
    <Barcode Type="qr" Value="t=20240501T1345&amp;amp;s=100.00"/>
    <Barcode Type="EAN8" ValueBase64="NDYxMjA0NDE="/>
    <GraphicText Text="Спасибо за покупку" FontName="Arial" FontStyle="bold " FontSize="14"/>
    <TextString Text="---[Cut]---"/>
    <TextString Text="[b]Подпись клиента не требуется[/b]"/>
    <TextString Text="[gt3]без закрытия"/>
  </Positions>
</Document>)");
    ASSERT_TRUE(printed.Succeeded()) << LastMessage();
    EXPECT_EQ(NewDocumentLines(), (Lines{Line("ОПЛАТА КАРТОЙ"), Line("Терминал: 00012345"), "",
                                         "Подпись клиента не требуется", "без закрытия"}));

    // Only the document counter moved.
    std::string counted = before;
    const std::string field = "<TotalDocCounter Value=\"0\"";
    counted.replace(counted.find(field), field.size(), "<TotalDocCounter Value=\"1\"");
    EXPECT_EQ(StorageBytes(), counted);

    ASSERT_TRUE(TextDocument(id, "<Document><Positions/></Document>").Succeeded()) << LastMessage();
    EXPECT_TRUE(NewDocumentLines().empty());
    EXPECT_EQ(Field("TotalDocCounter"), "2");
}

TEST_F(KktTextDocumentHostTest, AReceiptCopyDoesNothingAndSucceeds) {
    const std::string id = Connect(Settings());
    ASSERT_FALSE(id.empty());
    const std::string storage = StorageBytes();
    for (const char* number : {"1", "", "не номер"})
        EXPECT_TRUE(CheckCopy(id, number).Succeeded()) << LastMessage();
    EXPECT_EQ(StorageBytes(), storage);
    EXPECT_EQ(OutputBytes(), "");
}

TEST_F(KktTextDocumentHostTest, APackageWithoutItsDocumentOrPositionsOrWithBrokenBase64ChangesNothing) {
    const std::string id = Connect(Settings());
    ASSERT_FALSE(id.empty());
    for (const char* package : {"<TextDocument><Positions/></TextDocument>", "<Document NoCut=\"true\"/>"})
        ExpectRefused([&] { return TextDocument(id, package); }, "Ошибка входных параметров команды");
    ExpectRefused(
        [&] {
            return TextDocument(id,
                                "<Document><Positions><Barcode Type=\"QR\" ValueBase64=\"QQ=A\"/></Positions>"
                                "</Document>");
        },
        "Значение штрихкода ValueBase64 не является текстом Base64");
}

} // namespace
} // namespace veltrano::hosttest::documents

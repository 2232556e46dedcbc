#include "receipt_fixture.h"

#include "kkt/operations/receipt_operation.h"
#include "kkt/operations/shift_operations.h"

namespace veltrano::kkt::testing {

pugi::xml_document ParsePackage(std::string_view xml) {
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(xml.data(), xml.size());
    EXPECT_TRUE(parsed) << parsed.description() << "\n" << xml;
    return doc;
}

Lines ReceiptHeader(std::string_view shiftAndReceipt, std::string_view cashier, std::string_view number,
                    std::string_view cashierInn) {
    Lines lines{
        Centered("Учебный ККТ"),
        Line("РН ККТ:1234567890123456", "01.05.2024 13:45"),
        Line("ЗН ККТ:12345678", shiftAndReceipt),
        Line("ИНН:9988776655", "ФН:9999000000000000"),
        Line("Кассир:" + std::string(cashier), number),
    };
    if (!cashierInn.empty())
        lines.push_back(Line("ИНН кассира:", cashierInn));
    lines.push_back(Line("Сайт ФНС:", "www.nalog.gov.ru"));
    return lines;
}

Lines Concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

void ReceiptTest::SetUp() {
    KktInstanceTest::SetUp();
    Instance().PrintFiscalSigns = true;
    pugi::xml_document output = EmptyOutput();
    OpenShift(Instance(), CashierInput("Иванов И.И.", ""), output);
    NewOutputLines();
}

void ReceiptTest::PutCash(Money amount) {
    CashInOutcome(Instance(), amount);
    NewOutputLines();
}

std::string ReceiptTest::Check(std::string_view packageXml, bool electronically) {
    pugi::xml_document output = EmptyOutput();
    ProcessCheck(Instance(), electronically, ParsePackage(packageXml), output);
    return Compact(output);
}

Lines ReceiptTest::BufferTexts() {
    Lines texts;
    for (const output::ReceiptEntry& entry : Device().ReceiptStrList())
        texts.push_back(entry.Text);
    return texts;
}

} // namespace veltrano::kkt::testing

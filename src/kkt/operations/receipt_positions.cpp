#include "kkt/operations/receipt_positions.h"

#include "common/text.h"
#include "kkt/frame/storage_numbers.h"
#include "kkt/operations/marking_code.h"
#include "kkt/operations/receipt_attributes.h"
#include "kkt/operations/receipt_codes.h"
#include "kkt/vocab/tax_values.h"

#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>

namespace veltrano::kkt {
namespace {

constexpr std::int64_t DefaultFontSize = 12;

// The 20 % rates came into force on 1 January 2019, the 22 % rates on 1 January 2026.
constexpr moment::DateTime Vat20Start{2019, 1, 1, 0, 0, 0, 0};
constexpr moment::DateTime Vat22Start{2026, 1, 1, 0, 0, 0, 0};

bool IsElement(pugi::xml_node node, const char* nameIgnoringCase) {
    return text::EqualsNoCase(node.name(), nameIgnoringCase);
}

FiscalString ReadFiscalString(pugi::xml_node position, const TaxValues& taxValues) {
    FiscalString read;
    read.Agent = ReadAgentBlock(position);
    read.CalculationSubject = ReadByteAttribute(position, "CalculationSubject", 0);
    read.PaymentMethod = ReadByteAttribute(position, "PaymentMethod", 0);
    read.Name = ReadTextAttribute(position, "Name");
    read.PriceWithDiscount = ReadMoneyAttribute(position, "PriceWithDiscount");
    read.Quantity = ReadDecimalAttribute(position, "Quantity");
    read.AmountWithDiscount = ReadMoneyAttribute(position, "AmountWithDiscount");
    read.Department = ReadByteAttribute(position, "Department", 0);
    read.DiscountAmount = ReadMoneyAttribute(position, "DiscountAmount");

    const std::string markingCode = ReadTextAttribute(position, "MarkingCode");
    if (!text::Trim(markingCode).empty()) {
        const std::string bytes = MarkingCodeBytes(markingCode);
        read.MarkingCode = ShownMarkingCode(bytes);
        read.MarkingCodeKey = MarkingCodeKey(bytes);
        read.MarkingSign = UncheckedMarkingSign;
    }

    // A negative sum would take money out of the registers of a sale.
    if (read.AmountWithDiscount < Money())
        throw std::runtime_error("Сумма позиции не может быть отрицательной: " + read.Name);

    read.VatRate = taxValues.IDOfTax(ReadTextAttribute(position, "VATRate"));
    return read;
}

void CheckVatRate(int rateNumber, const moment::DateTime& now) {
    if (rateNumber == VatNone)
        throw std::runtime_error("Налоговая группа вне допустимого диапазона");
    if ((rateNumber == Vat20 || rateNumber == Vat20_120) &&
        moment::ToMoment(now) < moment::ToMoment(Vat20Start))
        throw std::runtime_error("Налог 20% и 20/120 не поддерживается");
    if ((rateNumber == Vat22 || rateNumber == Vat22_122) &&
        moment::ToMoment(now) < moment::ToMoment(Vat22Start))
        throw std::runtime_error("Налог 22% и 22/122 не поддерживается");
}

std::optional<Barcode> ReadBarcode(pugi::xml_node element) {
    const std::string type = ReadTextAttribute(element, "Type");
    Barcode barcode;
    if (text::EqualsNoCase(type, "EAN8"))
        barcode.Kind = output::KindEAN8;
    else if (text::EqualsNoCase(type, "EAN13"))
        barcode.Kind = output::KindEAN13;
    else if (text::EqualsNoCase(type, "CODE39"))
        barcode.Kind = output::KindCode39;
    else if (text::EqualsNoCase(type, "QR"))
        barcode.Kind = output::KindQRCode;
    else
        return std::nullopt;
    barcode.Data = ReadTextAttribute(element, "Value");
    if (barcode.Data.empty())
        barcode.Data = DecodeBarcodeValue(ReadTextAttribute(element, "ValueBase64"));
    return barcode;
}

GraphicText ReadGraphicText(pugi::xml_node element) {
    auto descriptor = output::MakePrintObject(output::KindGraphicText, ReadTextAttribute(element, "Text"));
    descriptor->FontName = ReadTextAttribute(element, "FontName");
    descriptor->FontStyle = ReadTextAttribute(element, "FontStyle");
    // A size that does not fit the descriptor is as unusable as a malformed one.
    std::int64_t size = ReadIntegerAttribute(element, "FontSize", DefaultFontSize);
    if (size < std::numeric_limits<int>::min() || size > std::numeric_limits<int>::max())
        size = DefaultFontSize;
    descriptor->FontSize = static_cast<int>(size);
    return GraphicText{std::move(descriptor)};
}

} // namespace

ReceiptPositions ReadReceiptPositions(pugi::xml_node positions, const TaxValues& taxValues,
                                      const moment::DateTime& now) {
    ReceiptPositions read;
    for (const pugi::xml_node element : positions.children()) {
        if (element.type() != pugi::node_element)
            continue;
        if (std::strcmp(element.name(), "FiscalString") == 0) {
            FiscalString position = ReadFiscalString(element, taxValues);
            read.Total = AddAmounts(read.Total, position.AmountWithDiscount);
            CheckVatRate(position.VatRate, now);
            position.Vat = read.Vat.Add(position.VatRate, position.AmountWithDiscount);
            read.Items.emplace_back(std::move(position));
        } else if (IsElement(element, "TextString")) {
            read.Items.emplace_back(TextString{ReadTextAttribute(element, "Text")});
        } else if (IsElement(element, "Barcode")) {
            if (std::optional<Barcode> barcode = ReadBarcode(element))
                read.Items.emplace_back(std::move(*barcode));
        } else if (IsElement(element, "GraphicText")) {
            read.Items.emplace_back(ReadGraphicText(element));
        }
    }
    return read;
}

} // namespace veltrano::kkt

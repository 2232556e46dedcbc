// The children of a check package's Positions: goods and services with their VAT, free text lines, barcodes
// and graphic text, read in document order.
#pragma once

#include "common/moment.h"
#include "common/money.h"
#include "kkt/operations/receipt_package.h"
#include "kkt/operations/receipt_vat.h"
#include "output/print_object.h"

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace veltrano::kkt {

class TaxValues;

// The sign of a marked position whose code was not checked for its receipt.
inline constexpr std::string_view UncheckedMarkingSign = "[M]";

struct FiscalString {
    std::string Name;
    double Quantity = 0;
    Money PriceWithDiscount;
    Money AmountWithDiscount;
    // Above 0 a discount, below 0 a surcharge.
    Money DiscountAmount;
    std::uint8_t Department = 0;
    std::uint8_t CalculationSubject = 0;
    std::uint8_t PaymentMethod = 0;
    int VatRate = 0;
    Money Vat;
    // Empty for goods without a marking code.
    std::string MarkingCode;
    // What matches the code to the ones checked before the receipt (MarkingCodeKey).
    std::string MarkingCodeKey;
    // Printed under the position when it carries a marking code: "[M]" until a checked code is found for it.
    std::string MarkingSign;
    AgentBlock Agent;
};

struct TextString {
    std::string Text;
};

struct Barcode {
    // output::KindEAN13, KindEAN8, KindCode39 or KindQRCode.
    int Kind = output::KindQRCode;
    std::string Data;
};

struct GraphicText {
    output::PrintObjectPtr Descriptor;
};

using ReceiptItem = std::variant<FiscalString, TextString, Barcode, GraphicText>;

struct ReceiptPositions {
    std::vector<ReceiptItem> Items;
    Money Total;
    VatTable Vat;
};

// Reads every position in order, adding up the total and the VAT. A position the receipt cannot take fails
// the whole receipt: a VAT rate code that is none of the list ("Налоговая группа вне допустимого диапазона"),
// 20 % or 20/120 before 2019 ("Налог 20% и 20/120 не поддерживается"), 22 % or 22/122 before 2026 ("Налог 22%
// и 22/122 не поддерживается"), a second rate of a pair, 22 % beside 20 %, a negative amount, a marking code
// or barcode value that is not Base64, or a total beyond the range of amounts. Barcodes of an unknown type
// and elements of other names (FiscalString counts only in exactly that spelling) are skipped.
ReceiptPositions ReadReceiptPositions(pugi::xml_node positions, const TaxValues& taxValues,
                                      const moment::DateTime& now);

} // namespace veltrano::kkt

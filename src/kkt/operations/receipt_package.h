// The check package the platform sends for a receipt: its three parts, the receipt's parameters and the
// agent and vendor data of the receipt and of its positions.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::kkt {

// OperationType of the package.
enum class ReceiptKind : std::uint8_t { Sale = 1, SaleReturn = 2, Purchase = 3, PurchaseReturn = 4 };

// The slot of the kind in the registers kept four to a quantity: 0 sale, 1 purchase, 2 sale return,
// 3 purchase return.
int OperationIndex(ReceiptKind kind);
// "Кассовый чек/приход" and the others: printed under the header and shown as the document's kind.
std::string_view ReceiptTitle(ReceiptKind kind);
// Sales and purchase returns take cash into the drawer; sale returns and purchases pay it out.
bool TakesCashIn(ReceiptKind kind);

// The children of the package's root element.
struct CheckPackage {
    pugi::xml_node Parameters;
    pugi::xml_node Positions;
    pugi::xml_node Payments;
};

// Fails with "Данные для печати чека отсутствуют" without a root element and with "Ошибка входных параметров
// команды" when one of the three parts is missing.
CheckPackage FindCheckPackage(const pugi::xml_document& checkPackage);

// The agent and vendor data of an element: one text per entry of AgentAttributes(), in that order; the first
// AgentData and VendorData children count, a missing one gives empty texts.
struct AgentBlock {
    std::vector<std::string> Values;
};
AgentBlock ReadAgentBlock(pugi::xml_node owner);

// Taxation system codes run from 0 to MaxTaxationSystem; a larger one is taken as 0.
inline constexpr std::uint8_t MaxTaxationSystem = 5;

struct ReceiptParameters {
    ReceiptKind Kind = ReceiptKind::Sale;
    std::string CashierName;
    std::string CashierINN;
    std::string CustomerPhone;
    std::string CustomerEmail;
    std::uint8_t TaxationSystem = 0;
    std::string ReceiptText;
    AgentBlock Agent;
};

// An OperationType other than 1 to 4 (after the reduction to one byte) fails with "Ошибка входных параметров
// команды".
ReceiptParameters ReadReceiptParameters(pugi::xml_node parameters);

} // namespace veltrano::kkt

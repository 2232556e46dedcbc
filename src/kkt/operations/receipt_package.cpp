#include "kkt/operations/receipt_package.h"

#include "common/text.h"
#include "kkt/operations/receipt_attributes.h"
#include "kkt/vocab/receipt_vocabulary.h"

#include <stdexcept>

namespace veltrano::kkt {
namespace {

[[noreturn]] void ThrowInputError() {
    throw std::runtime_error("Ошибка входных параметров команды");
}

// The kind counted from 0, for the tables below.
std::size_t KindNumber(ReceiptKind kind) {
    return static_cast<std::size_t>(kind) - 1;
}

} // namespace

int OperationIndex(ReceiptKind kind) {
    constexpr int Index[] = {0, 2, 1, 3};
    return Index[KindNumber(kind)];
}

std::string_view ReceiptTitle(ReceiptKind kind) {
    constexpr std::string_view Titles[] = {"Кассовый чек/приход", "Кассовый чек/возврат прихода",
                                           "Кассовый чек/расход", "Кассовый чек/возврат расхода"};
    return Titles[KindNumber(kind)];
}

bool TakesCashIn(ReceiptKind kind) {
    return kind == ReceiptKind::Sale || kind == ReceiptKind::PurchaseReturn;
}

CheckPackage FindCheckPackage(const pugi::xml_document& checkPackage) {
    const pugi::xml_node root = checkPackage.document_element();
    if (!root)
        throw std::runtime_error("Данные для печати чека отсутствуют");
    CheckPackage package{root.child("Parameters"), root.child("Positions"), root.child("Payments")};
    if (!package.Parameters || !package.Positions || !package.Payments)
        ThrowInputError();
    return package;
}

AgentBlock ReadAgentBlock(pugi::xml_node owner) {
    const pugi::xml_node agentData = owner.child("AgentData");
    const pugi::xml_node vendorData = owner.child("VendorData");
    AgentBlock block;
    for (const AgentAttribute& entry : AgentAttributes()) {
        const pugi::xml_node source = entry.element == "AgentData" ? agentData : vendorData;
        block.Values.push_back(ReadTextAttribute(source, std::string(entry.attribute).c_str()));
    }
    return block;
}

ReceiptParameters ReadReceiptParameters(pugi::xml_node parameters) {
    ReceiptParameters read;
    const std::uint8_t operationType = ReadByteAttribute(parameters, "OperationType", 0);
    if (operationType < static_cast<std::uint8_t>(ReceiptKind::Sale) ||
        operationType > static_cast<std::uint8_t>(ReceiptKind::PurchaseReturn))
        ThrowInputError();
    read.Kind = static_cast<ReceiptKind>(operationType);
    read.CashierName = ReadTextAttribute(parameters, "CashierName");
    read.CashierINN = ReadTextAttribute(parameters, "CashierINN");
    read.CustomerEmail = text::Trim(ReadTextAttribute(parameters, "CustomerEmail"));
    read.CustomerPhone = text::Trim(ReadTextAttribute(parameters, "CustomerPhone"));
    read.TaxationSystem = ReadByteAttribute(parameters, "TaxationSystem", 0);
    if (read.TaxationSystem > MaxTaxationSystem)
        read.TaxationSystem = 0;
    read.ReceiptText = ReadTextAttribute(parameters, "ReceiptText");
    read.Agent = ReadAgentBlock(parameters);
    return read;
}

} // namespace veltrano::kkt

// The lines of a receipt's body in the receipt buffer: buyer's contact, agent data, positions, free text,
// total, payments and VAT sums.
#pragma once

#include "common/money.h"
#include "kkt/operations/receipt_positions.h"

#include <string_view>
#include <vector>

namespace veltrano::output {
class OutputDevice;
}

namespace veltrano::kkt {

class DeviceInstance;
struct ReceiptParameters;
struct ReceiptPayments;

// The buyer's phone or, when there is none, the buyer's e-mail address.
void PrintCustomerContact(output::OutputDevice& device, const ReceiptParameters& parameters);
// One line per agent or vendor attribute that is not empty, with its label.
void PrintAgentBlock(output::OutputDevice& device, const AgentBlock& agent);
// Every item in order. Goods print their lines only when the instance prints fiscal details; text lines,
// barcodes and graphic text always print.
void PrintReceiptItems(DeviceInstance& instance, const std::vector<ReceiptItem>& items);
// The receipt's free text broken into lines of the instance's width.
void PrintReceiptText(DeviceInstance& instance, std::string_view receiptText);
void PrintReceiptTotal(output::OutputDevice& device, Money total);
// The amounts by payment type, what was received and the change.
void PrintPaymentBlock(DeviceInstance& instance, const ReceiptPayments& payments);
void PrintVatSums(output::OutputDevice& device, const VatTable& vat);

} // namespace veltrano::kkt

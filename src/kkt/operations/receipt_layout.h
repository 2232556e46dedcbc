// The lines of a receipt's body in the receipt buffer: buyer's contact, agent data, positions, free text,
// total, payments and VAT sums.
#pragma once

#include "common/money.h"
#include "kkt/operations/receipt_positions.h"

#include <string_view>
#include <vector>

namespace veltrano::output {
class TDevice;
}

namespace veltrano::kkt {

class TDeviceDriver;
struct TReceiptParameters;
struct TReceiptPayments;

// The buyer's phone or, when there is none, the buyer's e-mail address.
void PrintCustomerContact(output::TDevice& device, const TReceiptParameters& parameters);
// One line per agent or vendor attribute that is not empty, with its label.
void PrintAgentBlock(output::TDevice& device, const TAgentBlock& agent);
// Every item in order. Goods print their lines only when the instance prints fiscal details; text lines,
// barcodes and graphic text always print.
void PrintReceiptItems(TDeviceDriver& instance, const std::vector<TReceiptItem>& items);
// The receipt's free text broken into lines of the instance's width.
void PrintReceiptText(TDeviceDriver& instance, std::string_view receiptText);
void PrintReceiptTotal(output::TDevice& device, Money total);
// The amounts by payment type, what was received and the change.
void PrintPaymentBlock(TDeviceDriver& instance, const TReceiptPayments& payments);
void PrintVatSums(output::TDevice& device, const TVatTable& vat);

} // namespace veltrano::kkt

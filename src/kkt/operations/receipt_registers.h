// What a receipt adds to the fiscal storage's money registers.
#pragma once

#include "kkt/operations/receipt_package.h"

namespace veltrano::output {
class OutputDevice;
}

namespace veltrano::kkt {

class FiscalStorage;
class VatTable;
struct ReceiptPayments;

// The shift's VAT at 22 % and at 22/122 of receipts of kind k: M(116 + k) and M(120 + k), registers no other
// sum uses, so a storage file from before these rates holds 0 in them.
inline constexpr int Vat22Registers = 116;
inline constexpr int Vat22_122Registers = 120;

// Moves the cash kept by the receipt into or out of the drawer (M241), then adds the payments by type to the
// non-resettable and the shift registers of the receipt's kind and its VAT to the shift's VAT registers, all
// in memory (the 0 %, without-VAT, 5 %, 7 %, 5/105 and 7/107 sums have no register). The drawer must hold the
// change before a receipt that takes cash in, and must cover the cash a receipt pays out; otherwise the
// receipt is cancelled: "ЧЕК АННУЛИРОВАН" is laid out and it fails with "Недостаточно наличности в кассе"
// with nothing changed.
void AddReceiptToRegisters(FiscalStorage& storage, output::OutputDevice& device, ReceiptKind kind,
                           const ReceiptPayments& payments, const VatTable& vat);

} // namespace veltrano::kkt

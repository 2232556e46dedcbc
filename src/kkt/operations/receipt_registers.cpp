#include "kkt/operations/receipt_registers.h"

#include "kkt/frame/storage_numbers.h"
#include "kkt/operations/receipt_payments.h"
#include "kkt/operations/receipt_vat.h"
#include "output/device.h"

#include <stdexcept>

namespace veltrano::kkt {
namespace {

constexpr const char* CashBalance = "M241";
// First registers of the receipt totals by payment type: four kinds to a payment type.
constexpr int NonResettableTotals = 72;
constexpr int ShiftTotals = 193;

[[noreturn]] void CancelReceipt(output::TDevice& device) {
    device.PrintTextCenter("ЧЕК АННУЛИРОВАН");
    throw std::runtime_error("Недостаточно наличности в кассе");
}

void AddToRegister(output::TDevice& device, const std::string& field, Money amount) {
    device.SetFNValue(field, AddAmounts(ReadAmount(device, field), amount));
}

} // namespace

void AddReceiptToRegisters(output::TDevice& device, ReceiptKind kind, const TReceiptPayments& payments,
                           const TVatTable& vat) {
    const Money balance = ReadAmount(device, CashBalance);
    const Money cashKept = payments.CashNetOfChange();
    Money newBalance;
    if (TakesCashIn(kind)) {
        if (balance < payments.Change)
            CancelReceipt(device);
        newBalance = AddAmounts(balance, cashKept);
    } else {
        newBalance = AddAmounts(balance, NegateAmount(cashKept));
        if (newBalance < Money())
            CancelReceipt(device);
    }
    device.SetFNValue(CashBalance, newBalance);

    const int k = OperationIndex(kind);
    const Money byPaymentType[] = {cashKept, payments.ElectronicPayment, payments.PrePayment,
                                   payments.PostPayment, payments.Barter};
    for (int first : {NonResettableTotals, ShiftTotals})
        for (int type = 0; type < 5; ++type)
            AddToRegister(device, MoneyRegister(first + 4 * type + k), byPaymentType[type]);

    AddToRegister(device, MoneyRegister(92 + k), vat.Sum20Or18());
    AddToRegister(device, MoneyRegister(96 + k), vat.Sum10());
    AddToRegister(device, MoneyRegister(108 + k), vat.Sum20_120Or18_118());
    AddToRegister(device, MoneyRegister(112 + k), vat.Sum10_110());
}

} // namespace veltrano::kkt

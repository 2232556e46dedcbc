#include "kkt/operations/receipt_registers.h"

#include "kkt/frame/storage_numbers.h"
#include "kkt/operations/receipt_payments.h"
#include "kkt/operations/receipt_vat.h"
#include "kkt/storage/fiscal_storage.h"
#include "output/output_device.h"

#include <stdexcept>

namespace veltrano::kkt {
namespace {

constexpr const char* CashBalance = "M241";
// First registers of the receipt totals by payment type: four kinds to a payment type.
constexpr int NonResettableTotals = 72;
constexpr int ShiftTotals = 193;

[[noreturn]] void CancelReceipt(output::OutputDevice& device) {
    device.PrintTextCenter("ЧЕК АННУЛИРОВАН");
    throw std::runtime_error("Недостаточно наличности в кассе");
}

void AddToRegister(FiscalStorage& storage, const std::string& field, Money amount) {
    storage.SetValue(field, AddAmounts(ReadAmount(storage, field), amount));
}

} // namespace

void AddReceiptToRegisters(FiscalStorage& storage, output::OutputDevice& device, ReceiptKind kind,
                           const ReceiptPayments& payments, const VatTable& vat) {
    const Money balance = ReadAmount(storage, CashBalance);
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
    storage.SetValue(CashBalance, newBalance);

    const int k = OperationIndex(kind);
    const Money byPaymentType[] = {cashKept, payments.ElectronicPayment, payments.PrePayment,
                                   payments.PostPayment, payments.Barter};
    for (int first : {NonResettableTotals, ShiftTotals})
        for (int type = 0; type < 5; ++type)
            AddToRegister(storage, MoneyRegister(first + 4 * type + k), byPaymentType[type]);

    AddToRegister(storage, MoneyRegister(92 + k), vat.Sum20Or18());
    AddToRegister(storage, MoneyRegister(96 + k), vat.Sum10());
    AddToRegister(storage, MoneyRegister(108 + k), vat.Sum20_120Or18_118());
    AddToRegister(storage, MoneyRegister(112 + k), vat.Sum10_110());
    AddToRegister(storage, MoneyRegister(Vat22Registers + k), vat.Sum22());
    AddToRegister(storage, MoneyRegister(Vat22_122Registers + k), vat.Sum22_122());
}

} // namespace veltrano::kkt

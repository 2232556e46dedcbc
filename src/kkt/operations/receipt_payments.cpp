#include "kkt/operations/receipt_payments.h"

#include "driver/errors.h"
#include "kkt/frame/storage_numbers.h"
#include "kkt/operations/receipt_attributes.h"

#include <stdexcept>
#include <string>

namespace veltrano::kkt {
namespace {

constexpr std::int32_t PaymentMismatchCode = 3009;

Money ReadPayment(pugi::xml_node payments, const char* name) {
    const Money amount = ReadPaymentAttribute(payments, name);
    if (amount < Money())
        throw std::runtime_error("Сумма оплаты " + std::string(name) + " не может быть отрицательной");
    return amount;
}

} // namespace

ReceiptPayments ReadReceiptPayments(pugi::xml_node payments, Money total) {
    ReceiptPayments read;
    read.Cash = ReadPayment(payments, "Cash");
    read.ElectronicPayment = ReadPayment(payments, "ElectronicPayment");
    read.PrePayment = ReadPayment(payments, "PrePayment");
    read.PostPayment = ReadPayment(payments, "PostPayment");
    read.Barter = ReadPayment(payments, "Barter");

    const Money otherThanCash =
        SumAmounts({read.ElectronicPayment, read.PrePayment, read.PostPayment, read.Barter});
    read.Paid = AddAmounts(read.Cash, otherThanCash);
    read.Change = read.Paid - total;
    if (read.Change < Money())
        throw driver::EquException(PaymentMismatchCode,
                                   "Сумма оплаты не соответствует сумме документа: оплачено " +
                                       read.Paid.Format2() + " из " + total.Format2());
    if (otherThanCash > total)
        throw driver::EquException(PaymentMismatchCode,
                                   "Сумма оплаты не соответствует сумме документа: оплаты кроме наличных " +
                                       otherThanCash.Format2() + " больше суммы чека " + total.Format2());
    return read;
}

} // namespace veltrano::kkt

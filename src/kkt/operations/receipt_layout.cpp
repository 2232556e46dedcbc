#include "kkt/operations/receipt_layout.h"

#include "common/number_format.h"
#include "kkt/device_instance.h"
#include "kkt/frame/storage_numbers.h"
#include "kkt/operations/receipt_format.h"
#include "kkt/operations/receipt_package.h"
#include "kkt/operations/receipt_payments.h"
#include "kkt/vocab/receipt_vocabulary.h"
#include "output/output_device.h"
#include "output/wrap_words.h"

#include <algorithm>
#include <string>
#include <type_traits>

namespace veltrano::kkt {
namespace {

std::string Amount(Money amount) {
    return amount.Format2(numfmt::DecimalSeparator());
}

std::string AmountEq(Money amount) {
    return amount.FormatEq(numfmt::DecimalSeparator());
}

// Payment names are indented under the amounts they explain.
std::string PaymentName(const DeviceInstance& instance, int paymentType) {
    return "  " + instance.Pay[paymentType - 1];
}

void PrintFiscalString(output::OutputDevice& device, const FiscalString& position) {
    device.PrintText(position.Name, "");
    device.PrintText("", FormatQuantity(position.Quantity, numfmt::DecimalSeparator()) + " X " +
                             Amount(position.PriceWithDiscount));
    device.PrintText(std::to_string(position.Department), AmountEq(position.AmountWithDiscount));
    if (!position.MarkingCode.empty())
        device.PrintText("", position.MarkingSign);
    device.PrintText("СП.РАСЧ.", CalculationMethodName(position.PaymentMethod));
    device.PrintText("ПРЕДМ.РАСЧ.", CalculationSubjectName(position.CalculationSubject));
    if (position.DiscountAmount > Money())
        device.PrintText("СКИДКА", AmountEq(position.DiscountAmount));
    else if (position.DiscountAmount < Money())
        device.PrintText("НАЦЕНКА", AmountEq(NegateAmount(position.DiscountAmount)));
    device.PrintText(VATRateName(position.VatRate), AmountEq(position.Vat));
    PrintAgentBlock(device, position.Agent);
    device.PrintText("", "");
}

void PrintBarcode(output::OutputDevice& device, const Barcode& barcode) {
    if (barcode.Kind == output::KindQRCode)
        device.PrintQRcode(barcode.Data);
    else
        device.PrintBarcode(barcode.Data, barcode.Kind);
}

} // namespace

void PrintCustomerContact(output::OutputDevice& device, const ReceiptParameters& parameters) {
    if (!parameters.CustomerPhone.empty())
        device.PrintText("Телефон покупателя:", parameters.CustomerPhone);
    else if (!parameters.CustomerEmail.empty())
        device.PrintText("Эл. адрес покупателя:", parameters.CustomerEmail);
}

void PrintAgentBlock(output::OutputDevice& device, const AgentBlock& agent) {
    const auto attributes = AgentAttributes();
    for (std::size_t i = 0; i < attributes.size() && i < agent.Values.size(); ++i)
        if (!agent.Values[i].empty())
            device.PrintText(attributes[i].label, agent.Values[i]);
}

void PrintReceiptItems(DeviceInstance& instance, const std::vector<ReceiptItem>& items) {
    output::OutputDevice& device = instance.Device();
    for (const ReceiptItem& item : items) {
        std::visit(
            [&](const auto& read) {
                using Item = std::decay_t<decltype(read)>;
                if constexpr (std::is_same_v<Item, FiscalString>) {
                    if (instance.PrintFiscalSigns)
                        PrintFiscalString(device, read);
                } else if constexpr (std::is_same_v<Item, TextString>) {
                    device.PrintText(read.Text, "");
                } else if constexpr (std::is_same_v<Item, Barcode>) {
                    PrintBarcode(device, read);
                } else {
                    device.PrintGraphicText(read.Descriptor);
                }
            },
            item);
    }
}

void PrintReceiptText(DeviceInstance& instance, std::string_view receiptText) {
    std::vector<std::string> lines;
    output::WrapWords(receiptText, static_cast<std::size_t>(std::max<std::int64_t>(instance.LineLength, 1)),
                      lines);
    for (const std::string& line : lines)
        instance.Device().PrintText(line, "");
}

void PrintReceiptTotal(output::OutputDevice& device, Money total) {
    device.PrintText("ИТОГО", AmountEq(total));
}

void PrintPaymentBlock(DeviceInstance& instance, const ReceiptPayments& payments) {
    output::OutputDevice& device = instance.Device();
    device.PrintText(PaymentName(instance, 1), AmountEq(payments.CashNetOfChange()));
    const Money others[] = {payments.ElectronicPayment, payments.PrePayment, payments.PostPayment,
                            payments.Barter};
    for (int type = 2; type <= 5; ++type)
        if (others[type - 2] != Money())
            device.PrintText(PaymentName(instance, type), AmountEq(others[type - 2]));
    device.PrintText("ПОЛУЧЕНО:", "");
    if (payments.Cash != Money())
        device.PrintText(PaymentName(instance, 1), AmountEq(payments.Cash));
    if (payments.ElectronicPayment != Money())
        device.PrintText(PaymentName(instance, 2), AmountEq(payments.ElectronicPayment));
    if (payments.Change > Money())
        device.PrintText("СДАЧА", AmountEq(payments.Change));
}

void PrintVatSums(output::OutputDevice& device, const VatTable& vat) {
    for (const VatTable::SumLine& line : vat.SumLines())
        device.PrintText(line.label, AmountEq(line.sum));
}

} // namespace veltrano::kkt

#include "kkt/operations/correction_receipt.h"

#include "common/number_format.h"
#include "common/text.h"
#include "driver/errors.h"
#include "kkt/device_instance.h"
#include "kkt/frame/document_clock.h"
#include "kkt/frame/document_frame.h"
#include "kkt/frame/fiscal_sign.h"
#include "kkt/frame/output_parameters.h"
#include "kkt/frame/storage_numbers.h"
#include "kkt/operations/correction_receipt_date.h"
#include "kkt/operations/receipt_attributes.h"
#include "kkt/vocab/receipt_vocabulary.h"
#include "log/log.h"
#include "output/output_device.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace veltrano::kkt {
namespace {

constexpr std::string_view BadInput = "Ошибка входных параметров команды";
// The equipment code of input that cannot be read.
constexpr std::int32_t BadInputCode = 1004;

constexpr std::uint8_t CorrectionOfSales = 1;
constexpr std::uint8_t CorrectionOfPurchases = 3;

constexpr std::size_t VatGroupCount = 12;
// The first ten groups always print; the 22 % groups only when a position names their rate, so a correction
// of the sales before 2026 reads as it always did.
constexpr std::size_t VatGroupsAlwaysPrinted = 10;

// The VAT group of each rate number: 20 % shares with 18 %, 20/120 with 18/118.
constexpr std::array<std::size_t, 15> VatGroupOfRate{0, 0, 0, 1, 2, 3, 4, 4, 5, 6, 7, 8, 9, 10, 11};

constexpr std::array<std::string_view, VatGroupCount> VatGroupLabels{
    "СУММА НДС 20%",    "СУММА НДС 10%",    "СУММА НДС 0%",  "СУММА БЕЗ НДС",
    "СУММА НДС 20/120", "СУММА НДС 10/110", "СУММА НДС 5%",  "СУММА НДС 7%",
    "СУММА НДС 5/105",  "СУММА НДС 7/107",  "СУММА НДС 22%", "СУММА НДС 22/122",
};

struct VatGroups {
    std::array<Money, VatGroupCount> Amounts{};
    std::array<bool, VatGroupCount> Named{};
};

constexpr std::array<const char*, 5> PaymentAttributes{"Cash", "ElectronicPayment", "PrePayment",
                                                       "PostPayment", "Barter"};

struct CorrectionElements {
    pugi::xml_node Parameters;
    pugi::xml_node Positions;
    pugi::xml_node Payments;
    pugi::xml_node CorrectionData;
};

CorrectionElements FindElements(const pugi::xml_document& package) {
    const pugi::xml_node root = package.document_element();
    CorrectionElements found{root.child("Parameters"), root.child("Positions"), root.child("Payments"), {}};
    found.CorrectionData = found.Parameters.child("CorrectionData");
    if (!found.Parameters || !found.Positions || !found.Payments || !found.CorrectionData)
        throw std::runtime_error(std::string(BadInput));
    return found;
}

// The date of the document the correction rests on; none given means today.
moment::DateTime CorrectionDate(pugi::xml_node correctionData) {
    const std::string date = text::Trim(ReadTextAttribute(correctionData, "Date"));
    if (date.empty()) {
        moment::DateTime today = DocumentNow();
        today.hour = today.minute = today.second = today.millisecond = 0;
        return today;
    }
    const std::optional<moment::DateTime> read = ReadIsoDateTime(date);
    if (!read)
        throw driver::EquException(BadInputCode, std::string(BadInput));
    return *read;
}

// An amount read directly, not rounded to kopecks: a malformed text gives 0, one too large for an amount
// fails.
Money ReadCorrectionAmount(pugi::xml_node node, const char* name) {
    if (const std::optional<Money> exact = Money::Parse(text::Trim(node.attribute(name).as_string())))
        return *exact;
    return ReadPaymentAttribute(node, name);
}

// Each group holds the VAT of its last position: the platform states the amounts, the receipt adds nothing.
VatGroups VatAmounts(const DeviceInstance& instance, pugi::xml_node positions) {
    VatGroups groups;
    for (pugi::xml_node position : positions.children("FiscalString")) {
        const int rate = instance.VatRates().IDOfTax(ReadTextAttribute(position, "VATRate"));
        const Money amount = ReadCorrectionAmount(position, "VATAmount");
        if (rate <= 0 || static_cast<std::size_t>(rate) >= VatGroupOfRate.size())
            throw std::runtime_error("Налоговая группа вне допустимого диапазона");
        const std::size_t group = VatGroupOfRate[static_cast<std::size_t>(rate)];
        groups.Amounts[group] = amount;
        groups.Named[group] = true;
    }
    return groups;
}

void AddToRegister(FiscalStorage& storage, const char* field, Money amount) {
    storage.SetValue(field, AddAmounts(ReadAmount(storage, field), amount));
}

} // namespace

void ProcessCorrectionCheck(DeviceInstance& instance, bool, const pugi::xml_document& package,
                            pugi::xml_document& output) {
    log::WriteLog("TDriver", "Start ProcessCorrectionCheck", log::Level::Info);
    output::OutputDevice& device = instance.Device();
    FiscalStorage& storage = instance.Storage();
    device.ClearBuffer();
    const FiscalStorage::Hold hold = storage.Load();
    CheckShiftOpen(instance);

    const CorrectionElements elements = FindElements(package);
    const std::int64_t correctionType = ReadIntegerAttribute(elements.CorrectionData, "Type", 0);
    const std::string description = ReadTextAttribute(elements.CorrectionData, "Description");
    const moment::DateTime date = CorrectionDate(elements.CorrectionData);
    const std::string number = ReadTextAttribute(elements.CorrectionData, "Number");

    instance.SetCashier(ReadTextAttribute(elements.Parameters, "CashierName"),
                        ReadTextAttribute(elements.Parameters, "CashierINN"));
    const std::int64_t taxationSystem = ReadIntegerAttribute(elements.Parameters, "TaxationSystems", 0);

    const VatGroups vat = VatAmounts(instance, elements.Positions);
    std::array<Money, PaymentAttributes.size()> payments{};
    Money total;
    for (std::size_t i = 0; i < PaymentAttributes.size(); ++i) {
        payments[i] = ReadCorrectionAmount(elements.Payments, PaymentAttributes[i]);
        total = AddAmounts(total, payments[i]);
    }

    const std::uint8_t operationType = ReadByteAttribute(elements.Parameters, "OperationType", 0);
    if (operationType != CorrectionOfSales && operationType != CorrectionOfPurchases)
        throw std::runtime_error(std::string(BadInput));

    for (const char* counter : {"ReceiptNumber", "TotalReceiptCounter", "TotalDocCounter", "FiscalDocCounter",
                                "TotalFiscalDocCounter"})
        IncreaseCounter(storage, counter);
    if (operationType == CorrectionOfSales) {
        IncreaseCounter(storage, "O200");
        IncreaseCounter(storage, "O202");
        AddToRegister(storage, "M254", total);
        device.PrintText("КОРРЕКЦИЯ ПРИХОДА", "");
    } else {
        IncreaseCounter(storage, "O201");
        IncreaseCounter(storage, "O203");
        AddToRegister(storage, "M255", total);
        device.PrintText("КОРРЕКЦИЯ РАСХОДА", "");
    }

    const char separator = numfmt::DecimalSeparator();
    device.PrintText("ТИП КОРРЕКЦИИ:", correctionType == 0 ? "самостоятельно" : "по предписаниию");
    device.PrintText("ИТОГ:", "=" + total.Format2(separator));
    for (std::size_t i = 0; i < payments.size(); ++i)
        device.PrintText("  " + instance.Pay[i], payments[i].FormatEq(separator));
    for (std::size_t group = 0; group < VatGroupCount; ++group)
        if (group < VatGroupsAlwaysPrinted || vat.Named[group])
            device.PrintText(VatGroupLabels[group], vat.Amounts[group].FormatEq(separator));
    device.PrintText("ОСН. ДЛЯ КОРР:", description);
    device.PrintText("№ ДОК. КОРР:", number);
    device.PrintText("ДАТА КОРР:", moment::FormatDate(date));

    const std::string fiscalSign = NewFiscalSign();
    // Codes beyond the range of int stay outside the table instead of wrapping into it.
    const int taxationCode = static_cast<int>(std::clamp<std::int64_t>(taxationSystem, -1, 6));
    device.PrintText("СНО:" + std::string(TaxationSystemName(taxationCode)),
                     "ФД:" + std::to_string(ReadInteger(storage, "TotalFiscalDocCounter")) +
                         " ФП:" + fiscalSign);

    GetDocumentOutputParameters(instance, output);
    PrintSeparator(instance);
    FinishDocument(instance, "Чек коррекции");
    SaveFN(instance);
    PrintFinishedDocument(instance, instance.EnablePrinting);
}

} // namespace veltrano::kkt

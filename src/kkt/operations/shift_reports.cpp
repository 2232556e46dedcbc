#include "kkt/operations/shift_reports.h"

#include "common/moment.h"
#include "common/money.h"
#include "kkt/device_instance.h"
#include "kkt/frame/document_clock.h"
#include "kkt/frame/document_frame.h"
#include "kkt/frame/storage_numbers.h"
#include "kkt/operations/receipt_registers.h"
#include "output/output_device.h"

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

namespace veltrano::kkt {
namespace {

constexpr int ReceiptKinds = 4; // sale, purchase, sale return, purchase return
constexpr int PaymentTypes = 5;
constexpr int FNLifeNotRegistered = 0;
constexpr int FNResourceDays = 365;

struct KindLabelSet {
    std::string_view Section;
    std::string_view Tax;
    std::string_view NonResettable;
};

constexpr std::array<KindLabelSet, ReceiptKinds> KindLabels{{
    {"ПРИХОД ", "  ПРИХОД", "  ПРИХОДА"},
    {"РАСХОД ", "  РАСХОД", "  РАСХОДА"},
    {"ВОЗВРАТ ПРИХОДА ", "  ВОЗВРАТ ПРИХОДА", "  ВОЗВРАТА ПРИХОДА"},
    {"ВОЗВРАТ РАСХОДА ", "  ВОЗВРАТ РАСХОДА", "  ВОЗВРАТА РАСХОДА"},
}};

// The VAT slots of a kind are M(first + k); 0 % and without VAT have no line of their own. The 22 % sums
// follow the 20 % ones they replaced.
struct VatSlot {
    int First;
    std::string_view Label;
};

constexpr std::array<VatSlot, 8> VatSlots{{
    {92, "    НДС 20%"},
    {Vat22Registers, "    НДС 22%"},
    {96, "    НДС 10%"},
    {108, "    НДС 20/120"},
    {Vat22_122Registers, "    НДС 22/122"},
    {112, "    НДС 10/110"},
    {100, {}},
    {104, {}},
}};

int ShiftPaymentRegister(int payment, int kind) {
    return 193 + 4 * (payment - 1) + kind;
}

int NonResettablePaymentRegister(int payment, int kind) {
    return 72 + 4 * (payment - 1) + kind;
}

Money Register(const FiscalStorage& storage, int index) {
    return ReadAmount(storage, MoneyRegister(index));
}

std::string Count(const FiscalStorage& storage, std::string_view field) {
    return FormatCount(ReadInteger(storage, field));
}

void PrintBlankLine(output::OutputDevice& device) {
    device.PrintText("", "");
}

// Cash and electronic payments of sales minus those of sale returns, plus purchase returns, minus purchases.
Money Revenue(const FiscalStorage& storage) {
    const Money sales = AddAmounts(Register(storage, 193), Register(storage, 197));
    const Money saleReturns = AddAmounts(Register(storage, 195), Register(storage, 199));
    const Money purchaseReturns = AddAmounts(Register(storage, 196), Register(storage, 200));
    const Money purchases = AddAmounts(Register(storage, 194), Register(storage, 198));
    return SumAmounts({sales, NegateAmount(saleReturns), purchaseReturns, NegateAmount(purchases)});
}

void PrintKindSections(const DeviceInstance& instance, const FiscalStorage& storage,
                       output::OutputDevice& device) {
    for (int kind = 0; kind < ReceiptKinds; ++kind) {
        Money total;
        for (int payment = 1; payment <= PaymentTypes; ++payment)
            total = AddAmounts(total, Register(storage, ShiftPaymentRegister(payment, kind)));
        device.PrintText(std::string(KindLabels[kind].Section) +
                             Count(storage, OperationRegister(144 + kind)),
                         total.FormatEq());
        for (int payment = 1; payment <= PaymentTypes; ++payment)
            device.PrintText("  " + instance.Pay[payment - 1],
                             Register(storage, ShiftPaymentRegister(payment, kind)).FormatEq());
        PrintBlankLine(device);
    }
}

void PrintCorrectionsAndCash(const FiscalStorage& storage, output::OutputDevice& device, bool closing) {
    device.PrintText("ЧЕКИ КОРРЕКЦИИ", "");
    device.PrintText("ПРИХОД " + Count(storage, "O202"), ReadAmount(storage, "M254").FormatEq());
    device.PrintText("РАСХОД " + Count(storage, "O203"), ReadAmount(storage, "M255").FormatEq());
    PrintBlankLine(device);
    device.PrintText("ВНЕСЕНИЕ " + Count(storage, "O153"), ReadAmount(storage, "M242").FormatEq());
    device.PrintText("ВЫПЛАТА " + Count(storage, "O154"), ReadAmount(storage, "M243").FormatEq());
    const Money drawer = ReadAmount(storage, "M241");
    if (closing) {
        device.PrintText("ИНКАССАЦИЯ", drawer.FormatEq());
        device.PrintText("НАЛ. В КАССЕ", Money().FormatEq());
    } else {
        device.PrintText("НАЛ. В КАССЕ", drawer.FormatEq());
    }
}

void PrintTaxes(const FiscalStorage& storage, output::OutputDevice& device) {
    std::array<Money, ReceiptKinds> kindTax{};
    for (int kind = 0; kind < ReceiptKinds; ++kind)
        for (const VatSlot& slot : VatSlots)
            kindTax[kind] = AddAmounts(kindTax[kind], Register(storage, slot.First + kind));
    device.PrintText("СУММА НАЛОГОВ ПО ТИПАМ",
                     SumAmounts({kindTax[0], kindTax[1], kindTax[2], kindTax[3]}).FormatEq());
    for (int kind = 0; kind < ReceiptKinds; ++kind) {
        device.PrintText(KindLabels[kind].Tax, kindTax[kind].FormatEq());
        for (const VatSlot& slot : VatSlots) {
            const Money vat = Register(storage, slot.First + kind);
            if (!slot.Label.empty() && vat > Money())
                device.PrintText(slot.Label, vat.FormatEq());
        }
    }
}

void PrintNonResettable(const FiscalStorage& storage, output::OutputDevice& device) {
    device.PrintText("НЕОБНУЛЯЕМЫЕ СУММЫ", "");
    for (int kind = 0; kind < ReceiptKinds; ++kind) {
        Money total;
        for (int payment = 1; payment <= PaymentTypes; ++payment)
            total = AddAmounts(total, Register(storage, NonResettablePaymentRegister(payment, kind)));
        device.PrintText(KindLabels[kind].NonResettable, total.FormatEq());
    }
}

void AddSettlementParameters(const FiscalStorage& storage, pugi::xml_document& output) {
    const std::int64_t receipts = ReadInteger(storage, "ReceiptNumber");
    pugi::xml_document built;
    pugi::xml_node parameters = built.append_child("OutputParameters").append_child("Parameters");
    parameters.append_attribute("NumberOfChecks").set_value(std::to_string(receipts).c_str());
    parameters.append_attribute("NumberOfDocuments").set_value(std::to_string(receipts + 2).c_str());
    parameters.append_attribute("BacklogDocumentsCounter").set_value("0");
    parameters.append_attribute("BacklogDocumentFirstNumber").set_value("0");
    parameters.append_attribute("BacklogDocumentFirstDateTime")
        .set_value(moment::FormatDateTime(DocumentNow()).c_str());
    parameters.append_attribute("UrgentReplacementFN").set_value("false");
    parameters.append_attribute("ResourcesExhaustionFN").set_value("false");
    parameters.append_attribute("MemoryOverflowFN").set_value("false");
    parameters.append_attribute("OFDTimeout").set_value("false");
    parameters.append_attribute("ResourcesFN").set_value(std::to_string(FNResourceDays).c_str());
    output.append_copy(built.document_element());
}

} // namespace

void PrintXReport(DeviceInstance& instance, const pugi::xml_document& input) {
    ReadCashier(instance, input);
    output::OutputDevice& device = instance.Device();
    FiscalStorage& storage = instance.Storage();
    device.ClearBuffer();
    const FiscalStorage::Hold hold = storage.Load();
    IncreaseCounter(storage, "TotalDocCounter");
    PrintHeader(instance, false);
    device.PrintTextCenter("СУТОЧНЫЙ ОТЧЕТ БЕЗ ГАШЕНИЯ");
    PrintShiftTotals(instance, false);
    PrintSeparator(instance);
    FinishDocument(instance, "Отчет без гашения");
    SaveFN(instance);
    PrintFinishedDocument(instance, instance.EnableReportPrinting);
}

void PrintShiftTotals(DeviceInstance& instance, bool closing) {
    output::OutputDevice& device = instance.Device();
    FiscalStorage& storage = instance.Storage();
    const Money revenue = Revenue(storage);
    PrintKindSections(instance, storage, device);
    PrintCorrectionsAndCash(storage, device, closing);
    device.PrintText("ВЫРУЧКА", revenue.FormatEq());
    PrintBlankLine(device);
    PrintTaxes(storage, device);
    PrintBlankLine(device);
    PrintNonResettable(storage, device);
    PrintBlankLine(device);
}

void ReportCurrentStatusOfSettlements(DeviceInstance& instance, const pugi::xml_document& input,
                                      pugi::xml_document& output) {
    output::OutputDevice& device = instance.Device();
    FiscalStorage& storage = instance.Storage();
    device.ClearBuffer();
    const FiscalStorage::Hold hold = storage.Load();
    if (ReadInteger(storage, "FNLifeState") == FNLifeNotRegistered)
        throw std::runtime_error("ККМ не фискализирована");
    ReadCashier(instance, input);
    if (ReadInteger(storage, "DayState") > 0)
        throw std::runtime_error("Смена открыта");

    IncreaseCounter(storage, "FiscalDocCounter");
    IncreaseCounter(storage, "TotalDocCounter");
    IncreaseCounter(storage, "TotalFiscalDocCounter");
    PrintHeader(instance, false);
    AddSettlementParameters(storage, output);

    device.PrintText("ОТЧЕТ О СОСТОЯНИИ РАСЧЕТОВ", "");
    device.PrintText("НЕПЕРЕДАННЫХ ФД", "0");
    device.PrintText("ДАТА ПЕРВОГО НЕПЕРЕДАННОГО", "");
    PrintFiscalSignLine(instance);
    PrintSeparator(instance);
    FinishDocument(instance, "Отчет о сост. расчетов");
    SaveFN(instance);
    PrintFinishedDocument(instance, instance.EnableReportPrinting);
}

} // namespace veltrano::kkt

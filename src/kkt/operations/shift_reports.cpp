#include "kkt/operations/shift_reports.h"

#include "common/moment.h"
#include "common/money.h"
#include "kkt/device_driver.h"
#include "kkt/frame/document_clock.h"
#include "kkt/frame/document_frame.h"
#include "kkt/frame/storage_numbers.h"
#include "output/device.h"

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

struct TKindLabels {
    std::string_view Section;
    std::string_view Tax;
    std::string_view NonResettable;
};

constexpr std::array<TKindLabels, ReceiptKinds> KindLabels{{
    {"ПРИХОД ", "  ПРИХОД", "  ПРИХОДА"},
    {"РАСХОД ", "  РАСХОД", "  РАСХОДА"},
    {"ВОЗВРАТ ПРИХОДА ", "  ВОЗВРАТ ПРИХОДА", "  ВОЗВРАТА ПРИХОДА"},
    {"ВОЗВРАТ РАСХОДА ", "  ВОЗВРАТ РАСХОДА", "  ВОЗВРАТА РАСХОДА"},
}};

// The VAT slots of a kind are M(first + k); 0 % and without VAT have no line of their own.
struct TVatSlot {
    int First;
    std::string_view Label;
};

constexpr std::array<TVatSlot, 6> VatSlots{{
    {92, "    НДС 20%"},
    {96, "    НДС 10%"},
    {108, "    НДС 20/120"},
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

Money Register(const output::TDevice& device, int index) {
    return ReadAmount(device, MoneyRegister(index));
}

std::string Count(const output::TDevice& device, std::string_view field) {
    return FormatCount(ReadInteger(device, field));
}

void PrintBlankLine(output::TDevice& device) {
    device.PrintText("", "");
}

// Cash and electronic payments of sales minus those of sale returns, plus purchase returns, minus purchases.
Money Revenue(const output::TDevice& device) {
    const Money sales = AddAmounts(Register(device, 193), Register(device, 197));
    const Money saleReturns = AddAmounts(Register(device, 195), Register(device, 199));
    const Money purchaseReturns = AddAmounts(Register(device, 196), Register(device, 200));
    const Money purchases = AddAmounts(Register(device, 194), Register(device, 198));
    return SumAmounts({sales, NegateAmount(saleReturns), purchaseReturns, NegateAmount(purchases)});
}

void PrintKindSections(TDeviceDriver& instance, output::TDevice& device) {
    for (int kind = 0; kind < ReceiptKinds; ++kind) {
        Money total;
        for (int payment = 1; payment <= PaymentTypes; ++payment)
            total = AddAmounts(total, Register(device, ShiftPaymentRegister(payment, kind)));
        device.PrintText(std::string(KindLabels[kind].Section) + Count(device, OperationRegister(144 + kind)),
                         total.FormatEq());
        for (int payment = 1; payment <= PaymentTypes; ++payment)
            device.PrintText("  " + instance.Pay[payment - 1],
                             Register(device, ShiftPaymentRegister(payment, kind)).FormatEq());
        PrintBlankLine(device);
    }
}

void PrintCorrectionsAndCash(output::TDevice& device, bool closing) {
    device.PrintText("ЧЕКИ КОРРЕКЦИИ", "");
    device.PrintText("ПРИХОД " + Count(device, "O202"), ReadAmount(device, "M254").FormatEq());
    device.PrintText("РАСХОД " + Count(device, "O203"), ReadAmount(device, "M255").FormatEq());
    PrintBlankLine(device);
    device.PrintText("ВНЕСЕНИЕ " + Count(device, "O153"), ReadAmount(device, "M242").FormatEq());
    device.PrintText("ВЫПЛАТА " + Count(device, "O154"), ReadAmount(device, "M243").FormatEq());
    const Money drawer = ReadAmount(device, "M241");
    if (closing) {
        device.PrintText("ИНКАССАЦИЯ", drawer.FormatEq());
        device.PrintText("НАЛ. В КАССЕ", Money().FormatEq());
    } else {
        device.PrintText("НАЛ. В КАССЕ", drawer.FormatEq());
    }
}

void PrintTaxes(output::TDevice& device) {
    std::array<Money, ReceiptKinds> kindTax{};
    for (int kind = 0; kind < ReceiptKinds; ++kind)
        for (const TVatSlot& slot : VatSlots)
            kindTax[kind] = AddAmounts(kindTax[kind], Register(device, slot.First + kind));
    device.PrintText("СУММА НАЛОГОВ ПО ТИПАМ",
                     SumAmounts({kindTax[0], kindTax[1], kindTax[2], kindTax[3]}).FormatEq());
    for (int kind = 0; kind < ReceiptKinds; ++kind) {
        device.PrintText(KindLabels[kind].Tax, kindTax[kind].FormatEq());
        for (const TVatSlot& slot : VatSlots) {
            const Money vat = Register(device, slot.First + kind);
            if (!slot.Label.empty() && vat > Money())
                device.PrintText(slot.Label, vat.FormatEq());
        }
    }
}

void PrintNonResettable(output::TDevice& device) {
    device.PrintText("НЕОБНУЛЯЕМЫЕ СУММЫ", "");
    for (int kind = 0; kind < ReceiptKinds; ++kind) {
        Money total;
        for (int payment = 1; payment <= PaymentTypes; ++payment)
            total = AddAmounts(total, Register(device, NonResettablePaymentRegister(payment, kind)));
        device.PrintText(KindLabels[kind].NonResettable, total.FormatEq());
    }
}

void AddSettlementParameters(const output::TDevice& device, pugi::xml_document& output) {
    const std::int64_t receipts = ReadInteger(device, "ReceiptNumber");
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

void PrintXReport(TDeviceDriver& instance, const pugi::xml_document& input) {
    ReadCashier(instance, input);
    output::TDevice& device = instance.Device();
    device.ClearBuffer();
    device.LoadDataFN();
    IncreaseCounter(device, "TotalDocCounter");
    PrintHeader(instance, false);
    device.PrintTextCenter("СУТОЧНЫЙ ОТЧЕТ БЕЗ ГАШЕНИЯ");
    PrintShiftTotals(instance, false);
    PrintSeparator(instance);
    FinishDocument(instance, "Отчет без гашения");
    SaveFN(instance);
    PrintFinishedDocument(instance, instance.EnableReportPrinting);
}

void PrintShiftTotals(TDeviceDriver& instance, bool closing) {
    output::TDevice& device = instance.Device();
    const Money revenue = Revenue(device);
    PrintKindSections(instance, device);
    PrintCorrectionsAndCash(device, closing);
    device.PrintText("ВЫРУЧКА", revenue.FormatEq());
    PrintBlankLine(device);
    PrintTaxes(device);
    PrintBlankLine(device);
    PrintNonResettable(device);
    PrintBlankLine(device);
}

void ReportCurrentStatusOfSettlements(TDeviceDriver& instance, const pugi::xml_document& input,
                                      pugi::xml_document& output) {
    output::TDevice& device = instance.Device();
    device.ClearBuffer();
    device.LoadDataFN();
    if (ReadInteger(device, "FNLifeState") == FNLifeNotRegistered)
        throw std::runtime_error("ККМ не фискализирована");
    ReadCashier(instance, input);
    if (ReadInteger(device, "DayState") > 0)
        throw std::runtime_error("Смена открыта");

    IncreaseCounter(device, "FiscalDocCounter");
    IncreaseCounter(device, "TotalDocCounter");
    IncreaseCounter(device, "TotalFiscalDocCounter");
    PrintHeader(instance, false);
    AddSettlementParameters(device, output);

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

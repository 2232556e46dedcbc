#include "kkt/operations/receipt_operation.h"

#include "kkt/device_instance.h"
#include "kkt/frame/document_clock.h"
#include "kkt/frame/document_frame.h"
#include "kkt/frame/fiscal_sign.h"
#include "kkt/frame/output_parameters.h"
#include "kkt/frame/storage_numbers.h"
#include "kkt/operations/marking_session.h"
#include "kkt/operations/receipt_layout.h"
#include "kkt/operations/receipt_package.h"
#include "kkt/operations/receipt_payments.h"
#include "kkt/operations/receipt_positions.h"
#include "kkt/operations/receipt_qr.h"
#include "kkt/operations/receipt_registers.h"
#include "kkt/vocab/receipt_vocabulary.h"
#include "output/output_device.h"

#include <string>
#include <vector>

namespace veltrano::kkt {
namespace {

constexpr std::uint8_t PrintingUnlessElectronic = 1;

// Counts the receipt. The header shows the stored count of the shift's receipts plus one, so it is laid out
// before this receipt joins that count: the number it shows is the receipt's own.
void CountReceiptAndPrintHeader(DeviceInstance& instance) {
    FiscalStorage& storage = instance.Storage();
    IncreaseCounter(storage, "TotalReceiptCounter");
    IncreaseCounter(storage, "TotalDocCounter");
    IncreaseCounter(storage, "FiscalDocCounter");
    IncreaseCounter(storage, "TotalFiscalDocCounter");
    if (instance.PrintFiscalSigns)
        PrintHeader(instance, true);
    IncreaseCounter(storage, "ReceiptNumber");
}

// The taxation system and the fiscal document with its sign, then the QR code; returns the sign.
std::string PrintFiscalDetails(DeviceInstance& instance, const ReceiptParameters& parameters, Money total) {
    output::OutputDevice& device = instance.Device();
    FiscalStorage& storage = instance.Storage();
    const std::string fiscalSign = NewFiscalSign();
    const std::int64_t fiscalDocument = ReadInteger(storage, "TotalFiscalDocCounter");
    device.PrintText("СНО:" + std::string(TaxationSystemName(parameters.TaxationSystem)),
                     "ФД:" + std::to_string(fiscalDocument) + " ФП:" + fiscalSign);
    device.PrintQRcode(ReceiptQRString(DocumentNow(), total, storage.Value("FNSerialNumber"), fiscalDocument,
                                       fiscalSign, parameters.Kind));
    return fiscalSign;
}

void FillOutputParameters(DeviceInstance& instance, pugi::xml_document& output,
                          const std::string& fiscalSign) {
    GetDocumentOutputParameters(instance, output);
    pugi::xml_node parameters = output.child("DocumentOutputParameters").child("Parameters");
    if (instance.PrintFiscalSigns)
        // The platform records the sign the buyer sees on the receipt and in its QR code.
        parameters.attribute("FiscalSign").set_value(fiscalSign.c_str());
    else
        parameters.attribute("ShiftNumber").set_value("");
}

std::uint8_t PrintSwitch(const DeviceInstance& instance, bool electronically) {
    if (instance.EnablePrinting == PrintingUnlessElectronic && electronically)
        return PrintingSwitchedOff;
    return instance.EnablePrinting;
}

} // namespace

void ProcessCheck(DeviceInstance& instance, bool electronically, const pugi::xml_document& checkPackage,
                  pugi::xml_document& output) {
    output::OutputDevice& device = instance.Device();
    FiscalStorage& storage = instance.Storage();
    device.ClearBuffer();
    const FiscalStorage::Hold hold = storage.Load();
    CheckShiftOpen(instance);

    const CheckPackage package = FindCheckPackage(checkPackage);
    const ReceiptParameters parameters = ReadReceiptParameters(package.Parameters);
    instance.SetCashier(parameters.CashierName, parameters.CashierINN);
    ReceiptPositions positions = ReadReceiptPositions(package.Positions, instance.VatRates(), DocumentNow());
    const std::vector<std::string> markingCodesUsed = SignMarkedPositions(instance, positions.Items);
    const ReceiptPayments payments = ReadReceiptPayments(package.Payments, positions.Total);

    CountReceiptAndPrintHeader(instance);
    PrintCustomerContact(device, parameters);
    const std::string_view title = ReceiptTitle(parameters.Kind);
    if (instance.PrintFiscalSigns)
        device.PrintText(title, "");
    IncreaseCounter(storage, OperationRegister(144 + OperationIndex(parameters.Kind)));
    if (instance.PrintFiscalSigns)
        PrintAgentBlock(device, parameters.Agent);

    PrintReceiptItems(instance, positions.Items);
    PrintReceiptText(instance, parameters.ReceiptText);
    PrintReceiptTotal(device, positions.Total);
    PrintPaymentBlock(instance, payments);
    if (instance.PrintFiscalSigns)
        PrintVatSums(device, positions.Vat);
    AddReceiptToRegisters(storage, device, parameters.Kind, payments, positions.Vat);

    std::string fiscalSign;
    if (instance.PrintFiscalSigns)
        fiscalSign = PrintFiscalDetails(instance, parameters, positions.Total);
    FillOutputParameters(instance, output, fiscalSign);
    PrintSeparator(instance);
    FinishDocument(instance, title);
    SaveFN(instance);
    // The receipt is counted: its checked codes are sold, even if the printer fails below.
    UseUpMarkingCodes(instance, markingCodesUsed);
    PrintFinishedDocument(instance, PrintSwitch(instance, electronically));
}

} // namespace veltrano::kkt

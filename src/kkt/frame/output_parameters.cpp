#include "kkt/frame/output_parameters.h"

#include "common/xml.h"
#include "kkt/device_driver.h"
#include "kkt/frame/document_clock.h"
#include "kkt/frame/document_frame.h"
#include "kkt/frame/fiscal_sign.h"
#include "kkt/frame/storage_numbers.h"
#include "output/device.h"

#include <string>

namespace veltrano::kkt {
namespace {

// The members by their own names (the release build's compiler has no `using enum`).
constexpr TOutputParam opShiftNumber = TOutputParam::opShiftNumber;
constexpr TOutputParam opCheckNumber = TOutputParam::opCheckNumber;
constexpr TOutputParam opShiftClosingCheckNumber = TOutputParam::opShiftClosingCheckNumber;
constexpr TOutputParam opDateTime = TOutputParam::opDateTime;
constexpr TOutputParam opShiftState = TOutputParam::opShiftState;
constexpr TOutputParam opCountersOperationType1 = TOutputParam::opCountersOperationType1;
constexpr TOutputParam opCountersOperationType2 = TOutputParam::opCountersOperationType2;
constexpr TOutputParam opCountersOperationType3 = TOutputParam::opCountersOperationType3;
constexpr TOutputParam opCountersOperationType4 = TOutputParam::opCountersOperationType4;
constexpr TOutputParam opBacklogDocumentsCounter = TOutputParam::opBacklogDocumentsCounter;
constexpr TOutputParam opCashBalance = TOutputParam::opCashBalance;
constexpr TOutputParam opBacklogDocumentFirstNumber = TOutputParam::opBacklogDocumentFirstNumber;
constexpr TOutputParam opBacklogDocumentFirstDateTime = TOutputParam::opBacklogDocumentFirstDateTime;
constexpr TOutputParam opFNError = TOutputParam::opFNError;
constexpr TOutputParam opFNOverflow = TOutputParam::opFNOverflow;
constexpr TOutputParam opFNFail = TOutputParam::opFNFail;
constexpr TOutputParam opPayments = TOutputParam::opPayments;
constexpr TOutputParam opCashInOutcome = TOutputParam::opCashInOutcome;
constexpr TOutputParam opKKTShortState = TOutputParam::opKKTShortState;

void SetAttribute(pugi::xml_node node, const char* name, const std::string& value) {
    node.append_attribute(name).set_value(value.c_str());
}

void SetStored(pugi::xml_node node, const char* name, const output::TDevice& device, const char* field) {
    SetAttribute(node, name, device.GetFNValue(field));
}

// The sum of the five payment types' shift registers of one receipt kind (0 sale, 2 sale return).
Money KindTotal(const output::TDevice& device, int kind) {
    Money total;
    for (int payment = 0; payment < 5; ++payment)
        total = AddAmounts(total, ReadAmount(device, MoneyRegister(193 + 4 * payment + kind)));
    return total;
}

void AddCounters(pugi::xml_node parameters, const char* name, const output::TDevice& device,
                 const char* countField, int kind) {
    pugi::xml_node counters = parameters.append_child(name);
    SetStored(counters, "CheckCount", device, countField);
    SetAttribute(counters, "TotalChecksAmount", KindTotal(device, kind).ToStorageText());
}

void AddCashMovement(pugi::xml_node parameters, const char* name, const output::TDevice& device,
                     const char* countField, const char* amountField) {
    pugi::xml_node movement = parameters.append_child(name);
    SetStored(movement, "Count", device, countField);
    SetStored(movement, "TotalAmount", device, amountField);
}

void AddPayment(pugi::xml_node payments, const char* name, const output::TDevice& device, int firstRegister) {
    pugi::xml_node payment = payments.append_child(name);
    SetAttribute(payment, "Sell", ReadAmount(device, MoneyRegister(firstRegister)).ToStorageText());
    SetAttribute(payment, "SellReturn", ReadAmount(device, MoneyRegister(firstRegister + 2)).ToStorageText());
}

void SetParameterAttributes(pugi::xml_node parameters, const output::TDevice& device, TOutputParams groups) {
    const std::string moment = MomentText(DocumentNow());
    if (groups.Contains(opFNError))
        SetAttribute(parameters, "FNError", xml::BoolText(false));
    if (groups.Contains(opFNFail))
        SetAttribute(parameters, "FNFail", xml::BoolText(false));
    if (groups.Contains(opFNOverflow))
        SetAttribute(parameters, "FNOverflow", xml::BoolText(false));
    if (groups.Contains(opCashBalance))
        SetStored(parameters, "CashBalance", device, "M241");
    if (groups.Contains(opKKTShortState)) {
        SetAttribute(parameters, "RecState", "0");
        SetAttribute(parameters, "DrawerState", "0");
        SetAttribute(parameters, "CoverOpen", "0");
    }
    if (groups.Contains(opShiftNumber))
        SetStored(parameters, "ShiftNumber", device, "DayCounter");
    if (groups.Contains(opCheckNumber))
        SetStored(parameters, "CheckNumber", device, "TotalFiscalDocCounter");
    if (groups.Contains(opShiftClosingCheckNumber))
        SetStored(parameters, "ShiftClosingCheckNumber", device, "ReceiptNumber");
    if (groups.Contains(opDateTime))
        SetAttribute(parameters, "DateTime", moment);
    // 1 closed, 2 open, 3 open for more than 24 hours.
    if (groups.Contains(opShiftState))
        SetAttribute(parameters, "ShiftState", std::to_string(ReadInteger(device, "DayState") + 1));
    if (groups.Contains(opBacklogDocumentsCounter))
        SetAttribute(parameters, "BacklogDocumentsCounter", "0");
    if (groups.Contains(opBacklogDocumentFirstNumber))
        SetAttribute(parameters, "BacklogDocumentFirstNumber", "0");
    if (groups.Contains(opBacklogDocumentFirstDateTime))
        SetAttribute(parameters, "BacklogDocumentFirstDateTime", moment);
}

void AddParameterElements(pugi::xml_node parameters, const output::TDevice& device, TOutputParams groups) {
    if (groups.Contains(opCountersOperationType1))
        AddCounters(parameters, "CountersOperationType1", device, "O144", 0);
    if (groups.Contains(opCountersOperationType2))
        AddCounters(parameters, "CountersOperationType2", device, "O146", 2);
    if (groups.Contains(opCashInOutcome)) {
        AddCashMovement(parameters, "CashIn", device, "O153", "M242");
        AddCashMovement(parameters, "CashOut", device, "O154", "M243");
    }
}

void AddPayments(pugi::xml_node root, const output::TDevice& device) {
    pugi::xml_node payments = root.append_child("Payments");
    AddPayment(payments, "Cash", device, 193);
    AddPayment(payments, "NonCash", device, 197);
    AddPayment(payments, "Prepaid", device, 201);
    AddPayment(payments, "Credit", device, 205);
    AddPayment(payments, "Barter", device, 209);
}

} // namespace

const TOutputParams OpenShiftOutput{opShiftNumber, opDateTime,   opShiftState,
                                    opFNError,     opFNOverflow, opFNFail};

const TOutputParams CloseShiftOutput{opShiftNumber,
                                     opDateTime,
                                     opShiftState,
                                     opCountersOperationType1,
                                     opCountersOperationType2,
                                     opCountersOperationType3,
                                     opCountersOperationType4,
                                     opBacklogDocumentsCounter,
                                     opCashBalance,
                                     opBacklogDocumentFirstNumber,
                                     opBacklogDocumentFirstDateTime,
                                     opFNError,
                                     opFNOverflow,
                                     opFNFail};

const TOutputParams CurrentStatusOutput{opShiftNumber,
                                        opCheckNumber,
                                        opShiftClosingCheckNumber,
                                        opShiftState,
                                        opCountersOperationType1,
                                        opCountersOperationType2,
                                        opCountersOperationType3,
                                        opCountersOperationType4,
                                        opBacklogDocumentsCounter,
                                        opCashBalance,
                                        opBacklogDocumentFirstNumber,
                                        opBacklogDocumentFirstDateTime,
                                        opPayments,
                                        opCashInOutcome,
                                        opKKTShortState};

void GetOutputParameters(TDeviceDriver& instance, pugi::xml_document& output, TOutputParams groups) {
    const output::TDevice& device = instance.Device();
    // Built apart and copied in whole, so a value that cannot be read leaves no half-filled answer.
    pugi::xml_document built;
    pugi::xml_node root = built.append_child("OutputParameters");
    pugi::xml_node parameters = root.append_child("Parameters");
    SetParameterAttributes(parameters, device, groups);
    AddParameterElements(parameters, device, groups);
    if (groups.Contains(opPayments))
        AddPayments(root, device);
    output.append_copy(root);
}

void GetDocumentOutputParameters(TDeviceDriver& instance, pugi::xml_document& output) {
    const output::TDevice& device = instance.Device();
    pugi::xml_document built;
    pugi::xml_node root = built.append_child("DocumentOutputParameters");
    pugi::xml_node parameters = root.append_child("Parameters");
    SetStored(parameters, "ShiftNumber", device, "DayCounter");
    SetStored(parameters, "CheckNumber", device, "TotalFiscalDocCounter");
    SetStored(parameters, "ShiftClosingCheckNumber", device, "ReceiptNumber");
    SetAttribute(parameters, "DateTime", MomentText(DocumentNow()));
    SetAttribute(parameters, "FiscalSign", NewFiscalSign());
    SetAttribute(parameters, "AddressSiteInspections", std::string(FNSWebSiteDomain));
    output.append_copy(root);
}

} // namespace veltrano::kkt

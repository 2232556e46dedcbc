#include "kkt/frame/output_parameters.h"

#include "common/xml.h"
#include "kkt/device_instance.h"
#include "kkt/frame/document_clock.h"
#include "kkt/frame/document_frame.h"
#include "kkt/frame/fiscal_sign.h"
#include "kkt/frame/storage_numbers.h"

#include <string>

namespace veltrano::kkt {
namespace {

// The members by their own names (the release build's compiler has no `using enum`).
constexpr OutputParameter opShiftNumber = OutputParameter::opShiftNumber;
constexpr OutputParameter opCheckNumber = OutputParameter::opCheckNumber;
constexpr OutputParameter opShiftClosingCheckNumber = OutputParameter::opShiftClosingCheckNumber;
constexpr OutputParameter opDateTime = OutputParameter::opDateTime;
constexpr OutputParameter opShiftState = OutputParameter::opShiftState;
constexpr OutputParameter opCountersOperationType1 = OutputParameter::opCountersOperationType1;
constexpr OutputParameter opCountersOperationType2 = OutputParameter::opCountersOperationType2;
constexpr OutputParameter opCountersOperationType3 = OutputParameter::opCountersOperationType3;
constexpr OutputParameter opCountersOperationType4 = OutputParameter::opCountersOperationType4;
constexpr OutputParameter opBacklogDocumentsCounter = OutputParameter::opBacklogDocumentsCounter;
constexpr OutputParameter opCashBalance = OutputParameter::opCashBalance;
constexpr OutputParameter opBacklogDocumentFirstNumber = OutputParameter::opBacklogDocumentFirstNumber;
constexpr OutputParameter opBacklogDocumentFirstDateTime = OutputParameter::opBacklogDocumentFirstDateTime;
constexpr OutputParameter opFNError = OutputParameter::opFNError;
constexpr OutputParameter opFNOverflow = OutputParameter::opFNOverflow;
constexpr OutputParameter opFNFail = OutputParameter::opFNFail;
constexpr OutputParameter opPayments = OutputParameter::opPayments;
constexpr OutputParameter opCashInOutcome = OutputParameter::opCashInOutcome;
constexpr OutputParameter opKKTShortState = OutputParameter::opKKTShortState;

void SetAttribute(pugi::xml_node node, const char* name, const std::string& value) {
    node.append_attribute(name).set_value(value.c_str());
}

void SetStored(pugi::xml_node node, const char* name, const FiscalStorage& storage, const char* field) {
    SetAttribute(node, name, storage.Value(field));
}

// The sum of the five payment types' shift registers of one receipt kind (0 sale, 2 sale return).
Money KindTotal(const FiscalStorage& storage, int kind) {
    Money total;
    for (int payment = 0; payment < 5; ++payment)
        total = AddAmounts(total, ReadAmount(storage, MoneyRegister(193 + 4 * payment + kind)));
    return total;
}

void AddCounters(pugi::xml_node parameters, const char* name, const FiscalStorage& storage,
                 const char* countField, int kind) {
    pugi::xml_node counters = parameters.append_child(name);
    SetStored(counters, "CheckCount", storage, countField);
    SetAttribute(counters, "TotalChecksAmount", KindTotal(storage, kind).ToStorageText());
}

void AddCashMovement(pugi::xml_node parameters, const char* name, const FiscalStorage& storage,
                     const char* countField, const char* amountField) {
    pugi::xml_node movement = parameters.append_child(name);
    SetStored(movement, "Count", storage, countField);
    SetStored(movement, "TotalAmount", storage, amountField);
}

void AddPayment(pugi::xml_node payments, const char* name, const FiscalStorage& storage, int firstRegister) {
    pugi::xml_node payment = payments.append_child(name);
    SetAttribute(payment, "Sell", ReadAmount(storage, MoneyRegister(firstRegister)).ToStorageText());
    SetAttribute(payment, "SellReturn",
                 ReadAmount(storage, MoneyRegister(firstRegister + 2)).ToStorageText());
}

void SetParameterAttributes(pugi::xml_node parameters, const FiscalStorage& storage, OutputGroups groups) {
    const std::string moment = MomentText(DocumentNow());
    if (groups.Contains(opFNError))
        SetAttribute(parameters, "FNError", xml::BoolText(false));
    if (groups.Contains(opFNFail))
        SetAttribute(parameters, "FNFail", xml::BoolText(false));
    if (groups.Contains(opFNOverflow))
        SetAttribute(parameters, "FNOverflow", xml::BoolText(false));
    if (groups.Contains(opCashBalance))
        SetStored(parameters, "CashBalance", storage, "M241");
    if (groups.Contains(opKKTShortState)) {
        SetAttribute(parameters, "RecState", "0");
        SetAttribute(parameters, "DrawerState", "0");
        SetAttribute(parameters, "CoverOpen", "0");
    }
    if (groups.Contains(opShiftNumber))
        SetStored(parameters, "ShiftNumber", storage, "DayCounter");
    if (groups.Contains(opCheckNumber))
        SetStored(parameters, "CheckNumber", storage, "TotalFiscalDocCounter");
    if (groups.Contains(opShiftClosingCheckNumber))
        SetStored(parameters, "ShiftClosingCheckNumber", storage, "ReceiptNumber");
    if (groups.Contains(opDateTime))
        SetAttribute(parameters, "DateTime", moment);
    // 1 closed, 2 open, 3 open for more than 24 hours.
    if (groups.Contains(opShiftState))
        SetAttribute(parameters, "ShiftState", std::to_string(ReadInteger(storage, "DayState") + 1));
    if (groups.Contains(opBacklogDocumentsCounter))
        SetAttribute(parameters, "BacklogDocumentsCounter", "0");
    if (groups.Contains(opBacklogDocumentFirstNumber))
        SetAttribute(parameters, "BacklogDocumentFirstNumber", "0");
    if (groups.Contains(opBacklogDocumentFirstDateTime))
        SetAttribute(parameters, "BacklogDocumentFirstDateTime", moment);
}

void AddParameterElements(pugi::xml_node parameters, const FiscalStorage& storage, OutputGroups groups) {
    if (groups.Contains(opCountersOperationType1))
        AddCounters(parameters, "CountersOperationType1", storage, "O144", 0);
    if (groups.Contains(opCountersOperationType2))
        AddCounters(parameters, "CountersOperationType2", storage, "O146", 2);
    if (groups.Contains(opCashInOutcome)) {
        AddCashMovement(parameters, "CashIn", storage, "O153", "M242");
        AddCashMovement(parameters, "CashOut", storage, "O154", "M243");
    }
}

void AddPayments(pugi::xml_node root, const FiscalStorage& storage) {
    pugi::xml_node payments = root.append_child("Payments");
    AddPayment(payments, "Cash", storage, 193);
    AddPayment(payments, "NonCash", storage, 197);
    AddPayment(payments, "Prepaid", storage, 201);
    AddPayment(payments, "Credit", storage, 205);
    AddPayment(payments, "Barter", storage, 209);
}

} // namespace

const OutputGroups OpenShiftOutput{opShiftNumber, opDateTime,   opShiftState,
                                   opFNError,     opFNOverflow, opFNFail};

const OutputGroups CloseShiftOutput{opShiftNumber,
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

const OutputGroups CurrentStatusOutput{opShiftNumber,
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

void GetOutputParameters(DeviceInstance& instance, pugi::xml_document& output, OutputGroups groups) {
    const FiscalStorage& storage = instance.Storage();
    // Built apart and copied in whole, so a value that cannot be read leaves no half-filled answer.
    pugi::xml_document built;
    pugi::xml_node root = built.append_child("OutputParameters");
    pugi::xml_node parameters = root.append_child("Parameters");
    SetParameterAttributes(parameters, storage, groups);
    AddParameterElements(parameters, storage, groups);
    if (groups.Contains(opPayments))
        AddPayments(root, storage);
    output.append_copy(root);
}

void GetDocumentOutputParameters(DeviceInstance& instance, pugi::xml_document& output) {
    const FiscalStorage& storage = instance.Storage();
    pugi::xml_document built;
    pugi::xml_node root = built.append_child("DocumentOutputParameters");
    pugi::xml_node parameters = root.append_child("Parameters");
    SetStored(parameters, "ShiftNumber", storage, "DayCounter");
    SetStored(parameters, "CheckNumber", storage, "TotalFiscalDocCounter");
    SetStored(parameters, "ShiftClosingCheckNumber", storage, "ReceiptNumber");
    SetAttribute(parameters, "DateTime", MomentText(DocumentNow()));
    SetAttribute(parameters, "FiscalSign", NewFiscalSign());
    SetAttribute(parameters, "AddressSiteInspections", std::string(FNSWebSiteDomain));
    output.append_copy(root);
}

} // namespace veltrano::kkt

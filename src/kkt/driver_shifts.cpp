#include "kkt/cash_register_driver.h"
#include "kkt/operations/shift_operations.h"
#include "kkt/operations/shift_reports.h"

namespace veltrano::kkt {

void CashRegisterDriver::OpenShift(const pugi::xml_document& input, pugi::xml_document& output) {
    kkt::OpenShift(Instance(), input, output);
}

void CashRegisterDriver::CloseShift(const pugi::xml_document& input, pugi::xml_document& output) {
    kkt::CloseShift(Instance(), input, output);
}

// The input carries nothing a cash movement reads.
void CashRegisterDriver::CashInOutcome(const pugi::xml_document&, Money amount) {
    kkt::CashInOutcome(Instance(), amount);
}

void CashRegisterDriver::GetCurrentStatus(const pugi::xml_document&, pugi::xml_document& output) {
    kkt::GetCurrentStatus(Instance(), output);
}

void CashRegisterDriver::PrintXReport(const pugi::xml_document& input) {
    kkt::PrintXReport(Instance(), input);
}

void CashRegisterDriver::ReportCurrentStatusOfSettlements(const pugi::xml_document& input,
                                                          pugi::xml_document& output) {
    kkt::ReportCurrentStatusOfSettlements(Instance(), input, output);
}

} // namespace veltrano::kkt

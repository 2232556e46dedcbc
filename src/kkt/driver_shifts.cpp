#include "kkt/driver.h"
#include "kkt/operations/shift_operations.h"
#include "kkt/operations/shift_reports.h"

namespace veltrano::kkt {

void TDriver::OpenShift(const pugi::xml_document& input, pugi::xml_document& output) {
    kkt::OpenShift(Instance(), input, output);
}

void TDriver::CloseShift(const pugi::xml_document& input, pugi::xml_document& output) {
    kkt::CloseShift(Instance(), input, output);
}

// The input carries nothing a cash movement reads.
void TDriver::CashInOutcome(const pugi::xml_document&, Money amount) {
    kkt::CashInOutcome(Instance(), amount);
}

void TDriver::GetCurrentStatus(const pugi::xml_document&, pugi::xml_document& output) {
    kkt::GetCurrentStatus(Instance(), output);
}

void TDriver::PrintXReport(const pugi::xml_document& input) {
    kkt::PrintXReport(Instance(), input);
}

void TDriver::ReportCurrentStatusOfSettlements(const pugi::xml_document& input, pugi::xml_document& output) {
    kkt::ReportCurrentStatusOfSettlements(Instance(), input, output);
}

} // namespace veltrano::kkt

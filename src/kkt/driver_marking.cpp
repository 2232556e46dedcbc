#include "kkt/cash_register_driver.h"
#include "kkt/operations/marking_session.h"

namespace veltrano::kkt {

void CashRegisterDriver::OpenSessionRegistrationKM() {
    OpenMarkingSession(Instance());
}

void CashRegisterDriver::CloseSessionRegistrationKM() {
    CloseMarkingSession(Instance());
}

void CashRegisterDriver::RequestKM(const pugi::xml_document& input, pugi::xml_document& output) {
    RequestMarkingCode(Instance(), input, output);
}

void CashRegisterDriver::GetProcessingKMResult(pugi::xml_document& output, std::int32_t& requestStatus) {
    requestStatus = GetMarkingCodeResult(Instance(), output);
}

void CashRegisterDriver::ConfirmKM(const std::string& requestGuid, std::int32_t confirmationType) {
    ConfirmMarkingCode(Instance(), requestGuid, confirmationType);
}

} // namespace veltrano::kkt

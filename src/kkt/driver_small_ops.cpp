#include "kkt/cash_register_driver.h"
#include "platform/platform.h"

namespace veltrano::kkt {

// There is no drawer to open: the beep stands in for it.
void CashRegisterDriver::OpenCashDrawer() {
    platform::Beep();
}

std::int64_t CashRegisterDriver::GetLineLength() {
    return Instance().LineLength;
}

// The emulated cash register keeps the computer's clock.
void CashRegisterDriver::SetDateTime(const std::string&) {}

std::string CashRegisterDriver::GetDateTime() {
    return {};
}

} // namespace veltrano::kkt

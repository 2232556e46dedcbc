#include "kkt/driver.h"
#include "platform/platform.h"

namespace veltrano::kkt {

// There is no drawer to open: the beep stands in for it.
void TDriver::OpenCashDrawer() {
    platform::Beep();
}

std::int64_t TDriver::GetLineLength() {
    return Instance().LineLength;
}

// The emulated cash register keeps the computer's clock.
void TDriver::SetDateTime(const std::string&) {}

std::string TDriver::GetDateTime() {
    return {};
}

} // namespace veltrano::kkt

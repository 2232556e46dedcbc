#include "driver/custom_driver.h"

#include "addin/variant.h"
#include "driver/log.h"

namespace veltrano::driver {

void TCustomDriver::ReportSuccess(V8Variant* result) {
    FLastResult.Clear();
    if (result != nullptr)
        addin::V8SetBool(V8MM, result, true);
}

void TCustomDriver::ReportFailure(const std::exception& error, V8Variant* result, std::int32_t code) {
    FLastResult.SetError(error.what(), code);
    if (result != nullptr)
        addin::V8SetBool(V8MM, result, false);
    log::WriteLog("Exception", error.what(), log::Level::Error);
}

void TCustomDriver::ReportEcrFailure(const std::exception& error, V8Variant* result) {
    const auto* equipment = dynamic_cast<const EquException*>(&error);
    ReportFailure(error, result, equipment != nullptr ? equipment->Code : 1001);
}

} // namespace veltrano::driver

#include "driver/driver_base.h"

#include "addin/variant.h"
#include "log/log.h"

namespace veltrano::driver {

void DriverBase::ReportSuccess(V8Variant* result) {
    lastResult_.Clear();
    if (result != nullptr)
        addin::V8SetBool(V8MM, result, true);
}

void DriverBase::ReportFailure(const std::exception& error, V8Variant* result, std::int32_t code) {
    lastResult_.SetError(error.what(), code);
    if (result != nullptr)
        addin::V8SetBool(V8MM, result, false);
    log::WriteLog("Exception", error.what(), log::Level::Error);
}

void DriverBase::ReportEcrFailure(const std::exception& error, V8Variant* result) {
    const auto* equipment = dynamic_cast<const EquException*>(&error);
    ReportFailure(error, result, equipment != nullptr ? equipment->Code : 1001);
}

} // namespace veltrano::driver

// The driver base that keeps the last-error record and ends every host method with a recorded outcome.
#pragma once

#include "addin/user_object.h"
#include "driver/errors.h"

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace veltrano::driver {

using addin::V8Variant;

class DriverBase : public addin::UserObject {
public:
    // Clears the last error and writes true into the result slot when there is one.
    void ReportSuccess(V8Variant* result);
    // Records the failure's message and code, writes false into the result slot and logs an ERROR line.
    virtual void ReportFailure(const std::exception& error, V8Variant* result, std::int32_t code);
    // The code is the equipment code of an EquException, 1001 for any other error.
    void ReportEcrFailure(const std::exception& error, V8Variant* result);

    const ResultRecord& LastResult() const { return lastResult_; }
    // The identifier of the device instance being connected.
    const std::string& DeviceId() const { return deviceId_; }

protected:
    void SetDeviceId(std::string deviceId) { deviceId_ = std::move(deviceId); }

private:
    ResultRecord lastResult_;
    std::string deviceId_;
};

} // namespace veltrano::driver

#include "platform/printer_link.h"

#include <utility>

namespace veltrano::platform {

PortError::PortError(int code, const std::string& message, std::string detail)
    : std::runtime_error(message), code_(code), detail_(std::move(detail)) {}

} // namespace veltrano::platform

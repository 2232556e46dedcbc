#include "driver/version.h"

namespace veltrano::driver {

std::string ModuleVersionText() {
    return std::to_string(VELTRANO_VERSION_MAJOR) + "." + std::to_string(VELTRANO_VERSION_MINOR) + "." +
           std::to_string(VELTRANO_VERSION_PATCH) + "." + std::to_string(VELTRANO_VERSION_TWEAK);
}

} // namespace veltrano::driver

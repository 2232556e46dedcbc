#include "common/version.h"

namespace veltrano {

std::string ModuleVersionText() {
    return std::to_string(VELTRANO_VERSION_MAJOR) + "." + std::to_string(VELTRANO_VERSION_MINOR) + "." +
           std::to_string(VELTRANO_VERSION_PATCH) + "." + std::to_string(VELTRANO_VERSION_TWEAK);
}

} // namespace veltrano

// The module's own version, as the driver description and the log banner show it.
#pragma once

#include <string>

namespace veltrano {

// Major, minor, release and build as "%d.%d.%d.%d".
std::string ModuleVersionText();

} // namespace veltrano

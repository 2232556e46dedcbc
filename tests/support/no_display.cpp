// No test opens a window on the developer's desktop: the display is hidden before the first test runs. The
// desktop tests (tests/ui) start a virtual display of their own and do not link this.
#include <cstdlib>

namespace veltrano::testing {
namespace {

const bool displayHidden = [] {
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    return true;
}();

} // namespace
} // namespace veltrano::testing

// The kernel's termios2 cannot share a file with <termios.h>.
#include "serial_rate_probe.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace veltrano::platform::testing {

unsigned TerminalRate(int fd) {
    termios2 settings{};
    return ::ioctl(fd, TCGETS2, &settings) == 0 ? settings.c_ospeed : 0;
}

} // namespace veltrano::platform::testing

// The kernel's own termios2 carries any rate as a number; it cannot share a file with <termios.h>.
#include "platform/serial_speed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace veltrano::platform {

bool SetSerialSpeed(int fd, unsigned rate) {
    termios2 settings{};
    if (::ioctl(fd, TCGETS2, &settings) != 0)
        return false;
    settings.c_cflag = (settings.c_cflag & ~CBAUD) | BOTHER;
    settings.c_cflag &= ~(CBAUD << IBSHIFT); // the input rate follows the output rate
    settings.c_ospeed = rate;
    settings.c_ispeed = rate;
    return ::ioctl(fd, TCSETS2, &settings) == 0;
}

} // namespace veltrano::platform

// Serial line rates that the POSIX speed constants do not name (14400, 56000).
#pragma once

namespace veltrano::platform {

// Sets both directions of the open terminal to the rate; false with errno set when the driver refuses.
bool SetSerialSpeed(int fd, unsigned rate);

} // namespace veltrano::platform

// Reads a terminal's line rate as a number, which the POSIX speed constants cannot show for every rate.
#pragma once

namespace veltrano::platform::testing {

unsigned TerminalRate(int fd);

} // namespace veltrano::platform::testing

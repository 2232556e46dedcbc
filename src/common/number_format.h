// The process's decimal separator: the system's until the first device connection sets it to a full stop.
#pragma once

namespace veltrano::numfmt {

char DecimalSeparator();
void SetDecimalSeparator(char separator);

} // namespace veltrano::numfmt

// The fiscal sign the emulated storage puts on its fiscal documents.
#pragma once

#include <string>

namespace veltrano::kkt {

// A fresh uniformly random integer 0 <= r < 999999999, padded with "0" to ten digits.
std::string NewFiscalSign();

} // namespace veltrano::kkt

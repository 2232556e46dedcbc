// The scenario command `show FILE` of veltrano-host: prints a text file of the data folder, for example the
// output file the documents were appended to.
#pragma once

#include "testhost.h"

#include <filesystem>
#include <iosfwd>
#include <vector>

namespace veltrano::testhost {

// One text argument: the file, a relative path taken from the data folder. Every line is printed with a
// margin; CR LF line ends print as plain ones. Throws std::runtime_error when the argument is not one text or
// the file cannot be read.
void ShowDataFile(const std::filesystem::path& dataFolder, const std::vector<Value>& args, std::ostream& out);

} // namespace veltrano::testhost

// Small zip archives built in memory for the help tests: entries stored plainly or deflated.
#pragma once

#include <string>
#include <vector>

namespace veltrano::driver::help::testing {

struct TestEntry {
    std::string Name;
    std::string Bytes;
    bool Deflate = false;
};

std::string MakeZip(const std::vector<TestEntry>& entries);

} // namespace veltrano::driver::help::testing

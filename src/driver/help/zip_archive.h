// Reading zip archives held in memory: the entries stored plainly or compressed with deflate.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veltrano::driver::help {

struct ZipEntry {
    std::string Name;  // as stored: "/" between folders, a folder entry ends with "/"
    std::string Bytes; // the unpacked content; empty for a folder
};

// Every entry of the archive in the order of its central directory. Throws std::runtime_error for a damaged
// archive, a compression method other than stored or deflate, an encrypted entry, or content whose size or
// checksum differs from the directory's.
std::vector<ZipEntry> ReadZip(std::string_view archive);

} // namespace veltrano::driver::help

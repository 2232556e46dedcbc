#include "zip_test_support.h"

#include <zlib.h>

#include <cstdint>
#include <stdexcept>

namespace veltrano::driver::help::testing {
namespace {

void Put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::string RawDeflate(const std::string& bytes) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&stream, bytes.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        throw std::runtime_error("deflate");
    return out;
}

} // namespace

std::string MakeZip(const std::vector<TestEntry>& entries) {
    std::string archive;
    std::string directory;
    for (const TestEntry& entry : entries) {
        const std::string packed = entry.Deflate ? RawDeflate(entry.Bytes) : entry.Bytes;
        const auto crc = static_cast<std::uint32_t>(crc32(
            0L, reinterpret_cast<const Bytef*>(entry.Bytes.data()), static_cast<uInt>(entry.Bytes.size())));
        const auto offset = static_cast<std::uint32_t>(archive.size());
        const std::uint32_t method = entry.Deflate ? 8 : 0;

        Put32(archive, 0x04034b50);
        Put16(archive, 20);
        Put16(archive, 0x0800); // UTF-8 names
        Put16(archive, method);
        Put32(archive, 0); // time and date
        Put32(archive, crc);
        Put32(archive, static_cast<std::uint32_t>(packed.size()));
        Put32(archive, static_cast<std::uint32_t>(entry.Bytes.size()));
        Put16(archive, static_cast<std::uint32_t>(entry.Name.size()));
        Put16(archive, 0);
        archive += entry.Name;
        archive += packed;

        Put32(directory, 0x02014b50);
        Put16(directory, 20);
        Put16(directory, 20);
        Put16(directory, 0x0800);
        Put16(directory, method);
        Put32(directory, 0);
        Put32(directory, crc);
        Put32(directory, static_cast<std::uint32_t>(packed.size()));
        Put32(directory, static_cast<std::uint32_t>(entry.Bytes.size()));
        Put16(directory, static_cast<std::uint32_t>(entry.Name.size()));
        Put16(directory, 0); // extra
        Put16(directory, 0); // comment
        Put16(directory, 0); // disk
        Put16(directory, 0); // internal attributes
        Put32(directory, 0); // external attributes
        Put32(directory, offset);
        directory += entry.Name;
    }
    const auto directoryAt = static_cast<std::uint32_t>(archive.size());
    archive += directory;
    Put32(archive, 0x06054b50);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, static_cast<std::uint32_t>(entries.size()));
    Put16(archive, static_cast<std::uint32_t>(entries.size()));
    Put32(archive, static_cast<std::uint32_t>(directory.size()));
    Put32(archive, directoryAt);
    Put16(archive, 0);
    return archive;
}

} // namespace veltrano::driver::help::testing

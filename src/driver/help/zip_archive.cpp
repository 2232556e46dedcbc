#include "driver/help/zip_archive.h"

#include <zlib.h>

#include <cstdint>
#include <limits>
#include <stdexcept>

namespace veltrano::driver::help {
namespace {

constexpr std::uint32_t kEndOfDirectorySignature = 0x06054b50;
constexpr std::uint32_t kDirectoryEntrySignature = 0x02014b50;
constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr std::size_t kEndOfDirectorySize = 22;
constexpr std::size_t kDirectoryEntrySize = 46;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kEncryptedFlag = 1;

[[noreturn]] void Damaged(const std::string& what) {
    throw std::runtime_error("Zip archive damaged: " + what);
}

// Little-endian fields at fixed offsets of a record that has been checked to lie inside the archive.
class Record {
public:
    Record(std::string_view archive, std::size_t offset, std::size_t size) {
        if (offset > archive.size() || archive.size() - offset < size)
            Damaged("record outside the archive");
        bytes_ = archive.substr(offset, size);
    }
    std::uint16_t U16(std::size_t at) const {
        return static_cast<std::uint16_t>(Byte(at) | Byte(at + 1) << 8);
    }
    std::uint32_t U32(std::size_t at) const {
        return U16(at) | static_cast<std::uint32_t>(U16(at + 2)) << 16;
    }

private:
    unsigned Byte(std::size_t at) const { return static_cast<unsigned char>(bytes_[at]); }
    std::string_view bytes_;
};

std::string_view Slice(std::string_view archive, std::size_t offset, std::size_t size) {
    if (offset > archive.size() || archive.size() - offset < size)
        Damaged("entry outside the archive");
    return archive.substr(offset, size);
}

std::size_t FindEndOfDirectory(std::string_view archive) {
    // The end record sits at the very end unless a comment (at most 65535 bytes) follows it.
    if (archive.size() < kEndOfDirectorySize)
        Damaged("too short");
    const std::size_t last = archive.size() - kEndOfDirectorySize;
    const std::size_t first = last > 0xFFFF ? last - 0xFFFF : 0;
    for (std::size_t at = last + 1; at-- > first;)
        if (Record(archive, at, 4).U32(0) == kEndOfDirectorySignature)
            return at;
    Damaged("no central directory");
}

std::string Inflate(std::string_view packed, std::size_t expectedSize) {
    std::string out(expectedSize, '\0');
    z_stream stream{};
    // Negative window bits: raw deflate data, as zip stores it, without a zlib header.
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        throw std::runtime_error("Zip archive: cannot start inflate");
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const std::size_t produced = stream.total_out;
    inflateEnd(&stream);
    if (result != Z_STREAM_END || produced != expectedSize)
        Damaged("compressed data");
    return out;
}

} // namespace

std::vector<ZipEntry> ReadZip(std::string_view archive) {
    const std::size_t endAt = FindEndOfDirectory(archive);
    const Record end(archive, endAt, kEndOfDirectorySize);
    const std::size_t count = end.U16(10);
    std::size_t at = end.U32(16);

    std::vector<ZipEntry> entries;
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Record entry(archive, at, kDirectoryEntrySize);
        if (entry.U32(0) != kDirectoryEntrySignature)
            Damaged("central directory entry");
        const std::uint16_t flags = entry.U16(8);
        const std::uint16_t method = entry.U16(10);
        const std::uint32_t crc = entry.U32(16);
        const std::uint32_t packedSize = entry.U32(20);
        const std::uint32_t size = entry.U32(24);
        const std::size_t nameLength = entry.U16(28);
        const std::size_t extraLength = entry.U16(30);
        const std::size_t commentLength = entry.U16(32);
        const std::size_t localAt = entry.U32(42);
        ZipEntry read{std::string(Slice(archive, at + kDirectoryEntrySize, nameLength)), {}};
        at += kDirectoryEntrySize + nameLength + extraLength + commentLength;

        if (flags & kEncryptedFlag)
            throw std::runtime_error("Zip archive: encrypted entry " + read.Name);
        if (packedSize == std::numeric_limits<std::uint32_t>::max() ||
            size == std::numeric_limits<std::uint32_t>::max())
            throw std::runtime_error("Zip archive: entry too large " + read.Name);

        // The local header repeats the name and may carry an extra field of its own length; the sizes are
        // taken from the central directory because a streamed entry leaves them zero here.
        const Record local(archive, localAt, kLocalHeaderSize);
        if (local.U32(0) != kLocalHeaderSignature)
            Damaged("local header of " + read.Name);
        const std::size_t dataAt = localAt + kLocalHeaderSize + local.U16(26) + local.U16(28);
        const std::string_view packed = Slice(archive, dataAt, packedSize);

        if (method == kStored) {
            if (packedSize != size)
                Damaged("stored size of " + read.Name);
            read.Bytes.assign(packed);
        } else if (method == kDeflated) {
            read.Bytes = Inflate(packed, size);
        } else {
            throw std::runtime_error("Zip archive: unsupported compression of " + read.Name);
        }
        const uLong actual = crc32(0L, reinterpret_cast<const Bytef*>(read.Bytes.data()),
                                   static_cast<uInt>(read.Bytes.size()));
        if (actual != crc)
            Damaged("checksum of " + read.Name);
        entries.push_back(std::move(read));
    }
    return entries;
}

} // namespace veltrano::driver::help

#include "picture_test_support.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <vector>

namespace veltrano::output::picture_test {
namespace {

std::uint8_t Byte(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint8_t>(bytes[at]);
}

bool StartsWith(std::string_view bytes, std::size_t at, std::string_view prefix) {
    return bytes.size() >= at + prefix.size() && bytes.substr(at, prefix.size()) == prefix;
}

std::uint32_t Crc32(const std::string& data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= static_cast<std::uint8_t>(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBig32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void PutChunk(std::string& png, std::string_view type, const std::string& data) {
    PutBig32(png, static_cast<std::uint32_t>(data.size()));
    const std::string body = std::string(type) + data;
    png += body;
    PutBig32(png, Crc32(body));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string StoredZlib(const std::string& data) {
    std::string out("\x78\x01", 2);
    std::size_t at = 0;
    do {
        const std::size_t length = std::min<std::size_t>(65535, data.size() - at);
        out.push_back(at + length == data.size() ? 1 : 0);
        out.push_back(static_cast<char>(length & 0xFF));
        out.push_back(static_cast<char>(length >> 8));
        out.push_back(static_cast<char>(~length & 0xFF));
        out.push_back(static_cast<char>((~length >> 8) & 0xFF));
        out.append(data, at, length);
        at += length;
    } while (at < data.size());
    std::uint32_t a = 1, b = 0;
    for (const char c : data) {
        a = (a + static_cast<std::uint8_t>(c)) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(out, (b << 16) | a);
    return out;
}

} // namespace

::testing::AssertionResult UnpackRaster(std::string_view bytes, Bitmap& picture) {
    if (!StartsWith(bytes, 0, "\x1B\x33\x18"))
        return ::testing::AssertionFailure() << "no ESC 3 24 at the start";
    std::size_t at = 3;
    int width = -1;
    std::vector<std::vector<std::uint8_t>> bands;
    while (StartsWith(bytes, at, "\x1B*\x21")) {
        if (bytes.size() < at + 5)
            return ::testing::AssertionFailure() << "band header cut at " << at;
        const int bandWidth = Byte(bytes, at + 3) | (Byte(bytes, at + 4) << 8);
        if (width >= 0 && bandWidth != width)
            return ::testing::AssertionFailure() << "band widths differ: " << width << " and " << bandWidth;
        width = bandWidth;
        at += 5;
        const std::size_t size = 3 * static_cast<std::size_t>(width);
        if (bytes.size() < at + size + 2 || bytes.substr(at + size, 2) != "\r\n")
            return ::testing::AssertionFailure()
                   << "band at " << at << " is not " << size << " bytes and CR LF";
        bands.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                           bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size + 2;
    }
    if (bytes.substr(at) != "\x1B\x33\x1E")
        return ::testing::AssertionFailure() << "no ESC 3 30 right after the last band, at " << at;
    picture = Bitmap(std::max(width, 0), 24 * static_cast<int>(bands.size()));
    for (std::size_t band = 0; band < bands.size(); ++band)
        for (int x = 0; x < width; ++x)
            for (int row = 0; row < 24; ++row) {
                const std::uint8_t byte = bands[band][3 * static_cast<std::size_t>(x) + row / 8];
                picture.Set(x, 24 * static_cast<int>(band) + row, ((byte >> (7 - row % 8)) & 1) != 0);
            }
    return ::testing::AssertionSuccess();
}

void WritePng(const Bitmap& picture, const std::filesystem::path& file, int border) {
    const int width = picture.Width() + 2 * border, height = picture.Height() + 2 * border;
    const std::size_t rowBytes = (static_cast<std::size_t>(width) + 7) / 8;
    std::string rows;
    rows.reserve((rowBytes + 1) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        rows.push_back(0); // no filter
        std::string row(rowBytes, '\xFF');
        for (int x = 0; x < width; ++x)
            if (picture.IsBlack(x - border, y - border))
                row[static_cast<std::size_t>(x) / 8] =
                    static_cast<char>(row[static_cast<std::size_t>(x) / 8] & ~(0x80 >> (x % 8)));
        rows += row;
    }
    std::string header;
    PutBig32(header, static_cast<std::uint32_t>(width));
    PutBig32(header, static_cast<std::uint32_t>(height));
    header += std::string("\x01\x00\x00\x00\x00", 5); // 1 bit, grey, deflate, adaptive filters, no interlace
    std::string png("\x89PNG\r\n\x1A\n", 8);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", StoredZlib(rows));
    PutChunk(png, "IEND", "");
    std::ofstream(file, std::ios::binary) << png;
}

ScratchFolder::ScratchFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("veltrano-pictures-" + std::to_string(random()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

bool ProgramInstalled(std::string_view name) {
    return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string CommandOutput(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer;
        std::size_t read;
        while ((read = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            output.append(buffer.data(), read);
        pclose(pipe);
    }
    return output;
}

} // namespace veltrano::output::picture_test

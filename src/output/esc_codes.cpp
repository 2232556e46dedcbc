#include "output/esc_codes.h"

#include <charconv>

namespace veltrano::output {

std::string ParseEscCode(std::string_view code) {
    std::string bytes;
    std::size_t start = 0;
    while (start <= code.size()) {
        std::size_t end = code.find_first_of("+- .;,", start);
        if (end == std::string_view::npos)
            end = code.size();
        const std::string_view piece = code.substr(start, end - start);
        long value = 0;
        const auto [rest, error] = std::from_chars(piece.data(), piece.data() + piece.size(), value);
        if (!piece.empty() && error == std::errc() && rest == piece.data() + piece.size())
            bytes += static_cast<char>(static_cast<unsigned char>(value));
        start = end + 1;
    }
    return bytes;
}

} // namespace veltrano::output

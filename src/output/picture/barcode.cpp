#include "output/picture/barcode.h"

#include "output/picture/rounding.h"

#include <array>
#include <cstdint>
#include <string>

namespace veltrano::output {
namespace {

// The painter's code before the caller sets its own.
constexpr std::string_view StartingCode = "123456789012";

// Seven modules per digit, most significant bit first, 1 for a bar. Set B is set C read backwards.
constexpr std::array<std::uint8_t, 10> EanSetA = {0x0D, 0x19, 0x13, 0x3D, 0x23, 0x31, 0x2F, 0x3B, 0x37, 0x0B};
constexpr std::array<std::uint8_t, 10> EanSetC = {0x72, 0x66, 0x6C, 0x42, 0x5C, 0x4E, 0x50, 0x44, 0x48, 0x74};

// The first EAN-13 digit is not drawn: it picks set A (bit 0) or set B (bit 1) for digits 2 to 7, first digit
// in the most significant of six bits.
constexpr std::array<std::uint8_t, 10> EanParity = {0x00, 0x0B, 0x0D, 0x0E, 0x13,
                                                    0x19, 0x1C, 0x15, 0x16, 0x1A};

// Code 39: nine elements per character, bar first, most significant bit first, 1 for a wide element.
constexpr std::string_view Code39Characters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. *$/+%";
constexpr std::array<std::uint16_t, 44> Code39Widths = {
    0x034, 0x121, 0x061, 0x160, 0x031, 0x130, 0x070, 0x025, 0x124, 0x064, 0x109, 0x049, 0x148, 0x019, 0x118,
    0x058, 0x00D, 0x10C, 0x04C, 0x01C, 0x103, 0x043, 0x142, 0x013, 0x112, 0x052, 0x007, 0x106, 0x046, 0x016,
    0x181, 0x0C1, 0x1C0, 0x091, 0x190, 0x0D0, 0x085, 0x184, 0x0C4, 0x094, 0x0A8, 0x0A2, 0x08A, 0x02A};

std::uint8_t Reverse7(std::uint8_t bits) {
    std::uint8_t reversed = 0;
    for (int i = 0; i < 7; ++i)
        reversed = static_cast<std::uint8_t>(reversed | (((bits >> i) & 1) << (6 - i)));
    return reversed;
}

// Appends modules given as bits, merging neighbours of the same colour into one element.
void AddModules(std::vector<BarElement>& elements, unsigned bits, int count, bool guard) {
    for (int i = count - 1; i >= 0; --i) {
        const bool bar = ((bits >> i) & 1) != 0;
        if (!elements.empty() && elements.back().Bar == bar && elements.back().Guard == guard)
            ++elements.back().Modules;
        else
            elements.push_back({1, bar, guard});
    }
}

void AddDigit(std::vector<BarElement>& elements, std::uint8_t pattern) {
    AddModules(elements, pattern, 7, false);
}

std::string_view TrimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Digits of the data, padded with zeros to the symbol's length; the check digit is computed only when exactly
// the data digits are given.
bool EanDigits(std::string_view data, std::size_t length, std::string& digits) {
    const std::string_view trimmed = TrimSpaces(data);
    if (trimmed.empty())
        return false;
    for (const char c : trimmed)
        if (c < '0' || c > '9')
            return false;
    digits.assign(trimmed.substr(0, length));
    if (digits.size() == length - 1) {
        digits.push_back(static_cast<char>('0' + EanCheckDigit(digits)));
        return true;
    }
    digits.resize(length, '0');
    return true;
}

BarPattern Ean13(std::string_view data) {
    BarPattern pattern;
    std::string d;
    if (!EanDigits(data, 13, d)) {
        pattern.BadData = true;
        return pattern;
    }
    auto& e = pattern.Elements;
    AddModules(e, 0b101, 3, true);
    const std::uint8_t parity = EanParity[static_cast<std::size_t>(d[0] - '0')];
    for (int i = 1; i <= 6; ++i) {
        const auto digit = static_cast<std::size_t>(d[static_cast<std::size_t>(i)] - '0');
        const bool setB = ((parity >> (6 - i)) & 1) != 0;
        AddDigit(e, setB ? Reverse7(EanSetC[digit]) : EanSetA[digit]);
    }
    AddModules(e, 0b01010, 5, true);
    for (std::size_t i = 7; i < 13; ++i)
        AddDigit(e, EanSetC[static_cast<std::size_t>(d[i] - '0')]);
    AddModules(e, 0b101, 3, true);
    return pattern;
}

BarPattern Ean8(std::string_view data) {
    BarPattern pattern;
    std::string d;
    if (!EanDigits(data, 8, d)) {
        pattern.BadData = true;
        return pattern;
    }
    auto& e = pattern.Elements;
    AddModules(e, 0b101, 3, true);
    for (std::size_t i = 0; i < 4; ++i)
        AddDigit(e, EanSetA[static_cast<std::size_t>(d[i] - '0')]);
    AddModules(e, 0b01010, 5, true);
    for (std::size_t i = 4; i < 8; ++i)
        AddDigit(e, EanSetC[static_cast<std::size_t>(d[i] - '0')]);
    AddModules(e, 0b101, 3, true);
    return pattern;
}

BarPattern Code39(std::string_view data) {
    std::string text;
    text.reserve(data.size() + 2);
    for (const char c : data)
        text.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    if (text.front() != '*')
        text.insert(text.begin(), '*');
    if (text.back() != '*' || text.size() == 1)
        text.push_back('*');

    BarPattern pattern;
    for (const char c : text) {
        const auto index = Code39Characters.find(c);
        if (index == std::string_view::npos) {
            pattern.Elements.clear();
            pattern.BadData = true;
            return pattern;
        }
        const std::uint16_t widths = Code39Widths[index];
        for (int i = 8; i >= 0; --i)
            pattern.Elements.push_back({((widths >> i) & 1) != 0 ? 2 : 1, i % 2 == 0, false});
        pattern.Elements.push_back({1, false, false});
    }
    return pattern;
}

} // namespace

int BarPattern::Modules() const {
    int modules = 0;
    for (const BarElement& element : Elements)
        modules += element.Modules;
    return modules;
}

int EanCheckDigit(std::string_view digits) {
    int sum = 0;
    int weight = 3;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        sum += (*it - '0') * weight;
        weight = 4 - weight;
    }
    return (10 - sum % 10) % 10;
}

BarPattern EncodeBarcode(Symbology symbology, std::string_view data) {
    if (data.empty())
        data = StartingCode;
    switch (symbology) {
    case Symbology::Ean13:
        return Ean13(data);
    case Symbology::Ean8:
        return Ean8(data);
    case Symbology::Code39:
        return Code39(data);
    }
    return BarPattern{{}, true};
}

ModuleWidths BarcodeModuleWidths(int dpi) {
    int bar = static_cast<int>(RoundHalfEven(std::int64_t{12} * dpi, 1000));
    if (bar < 1)
        bar = 1;
    // dpi / 100 is larger than the bar only when it is above one pixel.
    if (dpi > 100 * bar)
        bar = static_cast<int>(RoundHalfEven(dpi, 100));
    return {bar, bar};
}

int BarcodeWidth(const BarPattern& pattern, int dpi) {
    const ModuleWidths widths = BarcodeModuleWidths(dpi);
    int width = 0;
    for (const BarElement& element : pattern.Elements)
        width += element.Modules * (element.Bar ? widths.Bar : widths.Space);
    return width;
}

bool PaintBarcode(Bitmap& target, const PictureBox& box, const BarPattern& pattern, int dpi) {
    target.Fill(box.X0, box.Y0, box.X1, box.Y1, false);
    if (pattern.BadData)
        return false;
    const int margin = (box.Y1 - box.Y0) / 10;
    const ModuleWidths widths = BarcodeModuleWidths(dpi);
    int x = box.X0;
    for (const BarElement& element : pattern.Elements) {
        const int width = element.Modules * (element.Bar ? widths.Bar : widths.Space);
        if (element.Bar)
            target.Fill(x, box.Y0 + margin, x + width, box.Y1 - margin, true);
        x += width;
    }
    return true;
}

PictureBox BarcodeErrorTextBox(const PictureBox& box) {
    const int margin = (box.Y1 - box.Y0) / 10;
    return {box.X0 + 4, box.Y0 + margin, box.X1, box.Y1 - margin};
}

} // namespace veltrano::output

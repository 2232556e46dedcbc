#include "kkt/operations/receipt_attributes.h"

#include "common/decimal_chars.h"
#include "common/text.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <system_error>

namespace veltrano::kkt {
namespace {

// Exponents are counted only this far: anything larger is beyond every range anyway.
constexpr std::int64_t ExponentLimit = 1'000'000'000;

[[noreturn]] void ThrowOutOfRange(const char* name) {
    throw std::runtime_error("Значение атрибута " + std::string(name) + " вне допустимого диапазона");
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal number split into its parts: digits with one optional separator, then an optional exponent.
struct DecimalText {
    bool negative = false;
    std::string mantissa; // digits with "." as the separator
    std::int64_t exponent = 0;
};

std::optional<DecimalText> SplitDecimal(std::string_view text) {
    DecimalText decimal;
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        decimal.negative = text[pos++] == '-';
    bool separatorSeen = false;
    std::size_t digits = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (IsDigit(c)) {
            decimal.mantissa += c;
            ++digits;
        } else if ((c == '.' || c == ',') && !separatorSeen) {
            decimal.mantissa += '.';
            separatorSeen = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        bool negativeExponent = false;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            negativeExponent = text[pos++] == '-';
        const std::size_t first = pos;
        for (; pos < text.size() && IsDigit(text[pos]); ++pos)
            if (decimal.exponent < ExponentLimit)
                decimal.exponent = decimal.exponent * 10 + (text[pos] - '0');
        if (pos == first)
            return std::nullopt;
        if (negativeExponent)
            decimal.exponent = -decimal.exponent;
    }
    if (pos != text.size())
        return std::nullopt;
    return decimal;
}

// The power of ten just above the number's magnitude: 1 for 0.5, 3 for 123, -1 for 0.05; nothing for zero.
std::optional<std::int64_t> DecimalOrder(const DecimalText& decimal) {
    const std::string_view mantissa = decimal.mantissa;
    const std::size_t separator = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t firstSignificant = mantissa.find_first_not_of("0.");
    if (firstSignificant == std::string_view::npos)
        return std::nullopt;
    const auto shift = firstSignificant < separator
                           ? static_cast<std::int64_t>(separator - firstSignificant)
                           : -static_cast<std::int64_t>(firstSignificant - separator - 1);
    return shift + decimal.exponent;
}

// The trimmed text as a double; a malformed text gives nothing, a number beyond the range of doubles fails
// and one too small for them gives 0.
std::optional<double> ParseDecimal(std::string_view text, const char* name) {
    const std::optional<DecimalText> decimal = SplitDecimal(text);
    if (!decimal)
        return std::nullopt;
    const std::string canonical = decimal->mantissa + "e" + std::to_string(decimal->exponent);
    double value = 0;
    const auto [end, error] = common::FromChars(canonical.data(), canonical.data() + canonical.size(), value);
    if (error == std::errc::result_out_of_range) {
        const std::optional<std::int64_t> order = DecimalOrder(*decimal);
        if (order && *order > 0)
            ThrowOutOfRange(name);
        value = 0;
    } else if (error != std::errc() || end != canonical.data() + canonical.size()) {
        return std::nullopt;
    }
    return decimal->negative ? -value : value;
}

// True when the text has the form of a plain amount (sign, digits, one separator) that Money::Parse refused:
// it can only have been too large.
bool IsPlainAmountText(std::string_view text) {
    const std::optional<DecimalText> decimal = SplitDecimal(text);
    return decimal && decimal->exponent == 0 && text.find_first_of("eE") == std::string_view::npos;
}

} // namespace

std::string ReadTextAttribute(pugi::xml_node node, const char* name) {
    return node.attribute(name).as_string();
}

std::int64_t ReadIntegerAttribute(pugi::xml_node node, const char* name, std::int64_t defaultValue) {
    const std::string text = text::Trim(node.attribute(name).as_string());
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+' && last - first > 1 && IsDigit(first[1]))
        ++first;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last)
        return defaultValue;
    return value;
}

std::uint8_t ReadByteAttribute(pugi::xml_node node, const char* name, std::uint8_t defaultValue) {
    return static_cast<std::uint8_t>(ReadIntegerAttribute(node, name, defaultValue));
}

double ReadDecimalAttribute(pugi::xml_node node, const char* name) {
    return ParseDecimal(text::Trim(node.attribute(name).as_string()), name).value_or(0.0);
}

Money ReadMoneyAttribute(pugi::xml_node node, const char* name) {
    const std::string text = text::Trim(node.attribute(name).as_string());
    // Read exactly where the text allows it; the double only serves texts with an exponent.
    if (const std::optional<Money> exact = Money::Parse(text))
        return *exact;
    if (IsPlainAmountText(text))
        ThrowOutOfRange(name);
    const std::optional<double> value = ParseDecimal(text, name);
    if (!value)
        return Money();
    try {
        return Money::FromDouble(*value);
    } catch (const std::out_of_range&) {
        ThrowOutOfRange(name);
    }
}

Money ReadPaymentAttribute(pugi::xml_node node, const char* name) {
    const std::string text = text::Trim(node.attribute(name).as_string());
    if (const std::optional<Money> amount = Money::Parse(text))
        return amount->RoundToCentsEven();
    if (IsPlainAmountText(text))
        ThrowOutOfRange(name);
    return Money();
}

} // namespace veltrano::kkt

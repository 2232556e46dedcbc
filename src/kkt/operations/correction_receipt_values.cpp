#include "kkt/operations/correction_receipt_values.h"

#include "common/text.h"

#include <charconv>
#include <optional>
#include <string>
#include <string_view>

namespace veltrano::kkt {

std::int32_t ReadPackageInteger(pugi::xml_node node, const char* name, std::int32_t fallback) {
    const std::string trimmed = text::Trim(node.attribute(name).as_string());
    std::string_view digits = trimmed;
    // An explicit plus sign is allowed; from_chars knows only the minus.
    if (digits.size() > 1 && digits.front() == '+' && digits[1] != '-')
        digits.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return fallback;
    return value;
}

std::uint8_t ReadPackageByte(pugi::xml_node node, const char* name, std::uint8_t fallback) {
    return static_cast<std::uint8_t>(ReadPackageInteger(node, name, fallback));
}

Money ReadPackageAmount(pugi::xml_node node, const char* name) {
    return Money::Parse(node.attribute(name).as_string()).value_or(Money());
}

} // namespace veltrano::kkt

// Printed names of the small codes a check package carries: VAT rates, taxation systems, calculation methods
// and subjects, and the agent and vendor attributes.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace veltrano::kkt {

// Rate numbers 1..14; any other fails with "Ошибка входных параметров команды".
std::string_view VATRateName(int rateNumber);
// Codes 0..5; any other fails with "Ошибка входных параметров команды".
std::string_view TaxationSystemName(int code);
// Never fail: unknown codes give the first name of the table.
std::string_view CalculationMethodName(std::uint8_t code);
std::string_view CalculationSubjectName(std::uint8_t code);

struct AgentAttribute {
    std::string_view element; // "AgentData" or "VendorData"
    std::string_view attribute;
    std::string_view label;
};

// The agent and vendor attributes in printing order.
std::span<const AgentAttribute> AgentAttributes();

} // namespace veltrano::kkt

// The format versions, taxation systems and agent types a registration names.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace veltrano::output {
class OutputDevice;
}

namespace veltrano::kkt {

// 1 "1.0", 2 "1.0.5", 3 "1.1"; any other number fails with "Ошибка входных параметров команды".
std::string_view FFDVersionName(std::int64_t number);

// The codes of a comma-separated list with every space removed; an empty list has none. A piece that is no
// integer (an empty one included) throws std::invalid_argument naming it.
std::vector<std::int32_t> ReadCodeList(std::string_view codes);

// A line "СНО" with the system's name for each known code of the list, in list order; unknown codes print
// nothing.
void PrintTaxationSystems(output::OutputDevice& device, std::string_view codes);
// A line with the agent type's name for each known code of the list; a list with a piece that is no integer
// fails with "Ошибка передачи типа данных агента".
void PrintAgentTypes(output::OutputDevice& device, std::string_view codes);

} // namespace veltrano::kkt

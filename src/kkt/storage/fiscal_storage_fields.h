// The fields of the fiscal storage file in file order, with their types and the values of a new storage.
#pragma once

#include <string>
#include <vector>

namespace veltrano::kkt {

struct FNField {
    std::string Name;
    std::string TypeValue; // "String", "Number" or "Boolean"
    std::string Value;     // the default
};

// The named fields, then M0 to M300 and O0 to O300 (639 in all).
const std::vector<FNField>& DefaultFNFields();

// Fields that closing a shift sets to 0, in the order they are written.
const std::vector<std::string>& ShiftCounterFields();

} // namespace veltrano::kkt

// Resources compiled into the module (settings schema, printer models, help archive), found by name.
#pragma once

#include <optional>
#include <string_view>

namespace veltrano::resources {

std::optional<std::string_view> Find(std::string_view name);

} // namespace veltrano::resources

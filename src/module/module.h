// Module lifetime: the load step (log off, driver registration) and the unload step.
#pragma once

namespace veltrano::module {

// Runs the load step once; every export calls it first. Never throws.
void EnsureModuleLoaded() noexcept;

} // namespace veltrano::module

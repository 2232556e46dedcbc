// Registration of the emulated cash register: the storage operations (registration, re-registration, closing
// the storage) and the KKT parameters table.
#pragma once

#include <pugixml.hpp>

#include <cstdint>

namespace veltrano::kkt {

class DeviceInstance;

// Storage operation types.
inline constexpr std::uint8_t OperationRegistration = 1;
inline constexpr std::uint8_t OperationReregistration = 2;
inline constexpr std::uint8_t OperationCloseFN = 3;

// Needs a closed shift. Registration and re-registration store the registration data and print it; closing
// the storage marks it closed; any other type prints a document without a body. Every type counts as a fiscal
// document and takes the INN and the cashier of the parameters.
void OperationFN(DeviceInstance& instance, std::uint8_t operationType, const pugi::xml_document& parameters);

// The registration data as the Parameters table; changes nothing.
void GetDataKKT(DeviceInstance& instance, pugi::xml_document& output);

} // namespace veltrano::kkt

// Opening and closing the shift, cash in and out, and the current state, on one device instance.
#pragma once

#include "common/money.h"

#include <pugixml.hpp>

namespace veltrano::kkt {

class DeviceInstance;

// The storage must not be closed and no shift open.
void OpenShift(DeviceInstance& instance, const pugi::xml_document& input, pugi::xml_document& output);
// Closes the open shift (expired or not) with the Z report; the cash in the drawer is collected.
void CloseShift(DeviceInstance& instance, const pugi::xml_document& input, pugi::xml_document& output);
// A positive amount puts cash in; zero or a negative amount takes its absolute value out. Works in every
// shift state and shows the previous cashier.
void CashInOutcome(DeviceInstance& instance, Money amount);
// The state of the shift and its counters; an open shift older than 24 hours is stored as expired.
void GetCurrentStatus(DeviceInstance& instance, pugi::xml_document& output);

} // namespace veltrano::kkt

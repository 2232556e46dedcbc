// Correction receipts: totals that correct the sales or the purchases registered earlier.
#pragma once

#include <pugixml.hpp>

namespace veltrano::kkt {

class DeviceInstance;

// Needs an open shift. Counts as a receipt, adds its total to the correction registers (never to the cash in
// the drawer) and is printed unless printing is switched off; sending it electronically changes nothing.
void ProcessCorrectionCheck(DeviceInstance& instance, bool electronically, const pugi::xml_document& package,
                            pugi::xml_document& output);

} // namespace veltrano::kkt

// The X report, the shift totals shared with the Z report, and the report on the current state of
// settlements.
#pragma once

#include <pugixml.hpp>

namespace veltrano::kkt {

class DeviceInstance;

// The shift totals without closing; works with the shift open or closed and counts only as a document.
void PrintXReport(DeviceInstance& instance, const pugi::xml_document& input);
// Appends the totals body to the receipt buffer; the closing report shows the drawer's cash as collected.
void PrintShiftTotals(DeviceInstance& instance, bool closing);
// Needs a registered storage and a closed shift.
void ReportCurrentStatusOfSettlements(DeviceInstance& instance, const pugi::xml_document& input,
                                      pugi::xml_document& output);

} // namespace veltrano::kkt

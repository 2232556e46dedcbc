// A cash receipt of the training cash register: sale, sale return, purchase or purchase return.
#pragma once

#include <pugixml.hpp>

namespace veltrano::kkt {

class DeviceInstance;

// Forms the receipt of the check package on the instance: counts it, lays it out, adds its money to the
// registers, fills DocumentOutputParameters into the output document, shows it, writes it to the output file,
// saves the fiscal storage and prints it unless printing is off (setting EnablePrinting: 2 never, 1 not for a
// receipt sent to the buyer electronically). Marking codes confirmed for it in the instance's session sign
// its marked positions and are used up. A refused receipt changes nothing in the storage file or the session
// and leaves no document; only the cashier it named stays current.
void ProcessCheck(DeviceInstance& instance, bool electronically, const pugi::xml_document& checkPackage,
                  pugi::xml_document& output);

} // namespace veltrano::kkt

// The training cash register's driver class, the one the platform instantiates under the name "Veltrano".
#pragma once

#include "driver/ecr_driver.h"
#include "output/usb_printer_list.h"

#include <pugixml.hpp>

#include <string>
#include <vector>

namespace veltrano::kkt {

using driver::V8Variant;

class TDriver : public driver::TEcrlDriver {
public:
    static const addin::ClassDeclarations Decls;
    const addin::ClassDeclarations& Declarations() const override { return Decls; }

    TDriver();

    void SelectInstance(const std::string& deviceId) override;
    // The framework's schema with the present USB printers as the choices of USBPort.
    std::string BuildSettingsXml() override;

    // The identifier the platform gave with SetExternalDeviceId; the next connection uses it.
    std::string FExternalDeviceId;
};

// Registers TDriver under "Veltrano" while the module loads.
void RegisterTDriver();

// The choice list of USBPort: added to the first element whose Name is USBPort (letter case ignored, depth
// first in document order), one Item per enabled printer that is not a remote-desktop redirection.
void AddUsbPrinterChoices(pugi::xml_document& settings,
                          const std::vector<output::TUSBPrintInfoRec>& printers);

} // namespace veltrano::kkt

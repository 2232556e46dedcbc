#include "kkt/driver.h"

namespace veltrano::kkt {

void TDriver::ProcessCheck(bool electronically, const pugi::xml_document& checkPackage,
                           pugi::xml_document& output, bool correction) {
    TEcrlDriver::ProcessCheck(electronically, checkPackage, output, correction);
}

} // namespace veltrano::kkt

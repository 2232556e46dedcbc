#include "kkt/driver.h"

#include "kkt/operations/correction_receipt.h"
#include "kkt/operations/registration.h"
#include "kkt/operations/text_document.h"

namespace veltrano::kkt {

void TDriver::ProcessCorrectionCheck(bool electronically, const pugi::xml_document& correctionPackage,
                                     pugi::xml_document& output) {
    kkt::ProcessCorrectionCheck(Instance(), electronically, correctionPackage, output);
}

void TDriver::PrintTextDocument(const pugi::xml_document& documentPackage) {
    kkt::PrintTextDocument(Instance(), documentPackage);
}

// The training register keeps no copies of its receipts: the request succeeds and produces nothing.
void TDriver::PrintCheckCopy(const std::string&) {}

void TDriver::OperationFN(std::uint8_t operationType, const pugi::xml_document& parameters) {
    kkt::OperationFN(Instance(), operationType, parameters);
}

void TDriver::GetDataKKT(pugi::xml_document& output) {
    kkt::GetDataKKT(Instance(), output);
}

} // namespace veltrano::kkt

#include "kkt/driver.h"

namespace veltrano::kkt {

void TDriver::ProcessCorrectionCheck(bool electronically, const pugi::xml_document& correctionPackage,
                                     pugi::xml_document& output) {
    TEcrlDriver::ProcessCorrectionCheck(electronically, correctionPackage, output);
}

void TDriver::PrintTextDocument(const pugi::xml_document& documentPackage) {
    TEcrlDriver::PrintTextDocument(documentPackage);
}

void TDriver::PrintCheckCopy(const std::string& checkNumber) {
    TEcrlDriver::PrintCheckCopy(checkNumber);
}

void TDriver::OperationFN(std::uint8_t operationType, const pugi::xml_document& parameters) {
    TEcrlDriver::OperationFN(operationType, parameters);
}

void TDriver::GetDataKKT(pugi::xml_document& output) {
    TEcrlDriver::GetDataKKT(output);
}

} // namespace veltrano::kkt

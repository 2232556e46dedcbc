#include "kkt/cash_register_driver.h"

#include "kkt/operations/correction_receipt.h"
#include "kkt/operations/registration.h"
#include "kkt/operations/text_document.h"

namespace veltrano::kkt {

void CashRegisterDriver::ProcessCorrectionCheck(bool electronically,
                                                const pugi::xml_document& correctionPackage,
                                                pugi::xml_document& output) {
    kkt::ProcessCorrectionCheck(Instance(), electronically, correctionPackage, output);
}

void CashRegisterDriver::PrintTextDocument(const pugi::xml_document& documentPackage) {
    kkt::PrintTextDocument(Instance(), documentPackage);
}

// The training register keeps no copies of its receipts: the request succeeds and produces nothing.
void CashRegisterDriver::PrintCheckCopy(const std::string&) {}

void CashRegisterDriver::OperationFN(std::uint8_t operationType, const pugi::xml_document& parameters) {
    kkt::OperationFN(Instance(), operationType, parameters);
}

void CashRegisterDriver::GetDataKKT(pugi::xml_document& output) {
    kkt::GetDataKKT(Instance(), output);
}

} // namespace veltrano::kkt

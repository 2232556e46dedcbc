#include "kkt/cash_register_driver.h"
#include "kkt/operations/receipt_operation.h"

namespace veltrano::kkt {

// Correction receipts come through their own host method; the flag changes nothing here.
void CashRegisterDriver::ProcessCheck(bool electronically, const pugi::xml_document& checkPackage,
                                      pugi::xml_document& output, bool) {
    kkt::ProcessCheck(Instance(), electronically, checkPackage, output);
}

} // namespace veltrano::kkt

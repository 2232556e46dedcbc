// Correction receipts (СформироватьЧекКоррекции): the package text is parsed as the adapter parses it and
// goes to ProcessCorrectionCheck. The first byte picks the starting storage (bit 0: an open shift, else an
// expired one when bit 1 is set, else a closed one), whether the receipt is sent electronically (bit 2),
// whether documents go through the ESC/POS encoder (bit 3) and the decimal separator of amounts (bit 4: ",");
// the rest is the package text.
#include "training_register.h"

#include "common/number_format.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace veltrano;

struct Target {
    fuzz::TrainingRegister Register;
    std::string Closed = Register.ClosedShiftState();
    std::string Expired = Register.ExpiredShiftState();
    std::string Open = Register.OpenShiftState();
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Target target;
    if (size == 0)
        return 0;
    const std::string_view packageText(reinterpret_cast<const char*>(data + 1), size - 1);
    fuzz::TrainingRegister& trainingRegister = target.Register;
    trainingRegister.Restore((data[0] & 1) != 0   ? target.Open
                             : (data[0] & 2) != 0 ? target.Expired
                                                  : target.Closed);
    const bool electronically = (data[0] & 4) != 0;
    trainingRegister.UsePaper((data[0] & 8) != 0);
    numfmt::SetDecimalSeparator((data[0] & 0x10) != 0 ? ',' : '.');
    trainingRegister.Attempt("ProcessCorrectionCheck", [&] {
        pugi::xml_document package;
        fuzz::ParseHostXml(package, packageText);
        pugi::xml_document output;
        trainingRegister.Driver().ProcessCorrectionCheck(electronically, package, output);
    });
    numfmt::SetDecimalSeparator('.');
    return 0;
}

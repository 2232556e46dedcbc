// Feeds arbitrary bytes to the receipt path the way the host adapter does: the text is sanitised and parsed
// as XML, then ProcessCheck reads, checks, lays out, counts and finishes the receipt on the training cash
// register. Every input starts from the same storage: a shift opened with cash in the drawer.
#include "training_register.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace veltrano;

struct Target {
    fuzz::TrainingRegister Register;
    std::string OpenShift = Register.OpenShiftState();
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Target target;
    // The first byte picks the settings; the rest is the package text.
    if (size == 0)
        return 0;
    const std::string_view packageText(reinterpret_cast<const char*>(data + 1), size - 1);
    fuzz::TrainingRegister& trainingRegister = target.Register;
    trainingRegister.Restore(target.OpenShift);
    kkt::DeviceInstance& instance = trainingRegister.Instance();
    instance.PrintFiscalSigns = (data[0] & 1) != 0;
    const bool electronically = (data[0] & 2) != 0;
    // Bit 2 sends the receipt through the ESC/POS encoder to a printer that never fails.
    trainingRegister.UsePaper((data[0] & 4) != 0);
    trainingRegister.Attempt("ProcessCheck", [&] {
        pugi::xml_document package;
        fuzz::ParseHostXml(package, packageText);
        pugi::xml_document output;
        trainingRegister.Driver().ProcessCheck(electronically, package, output, false);
    });
    return 0;
}

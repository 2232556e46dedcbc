// Text documents (НапечататьТекстовыйДокумент): the package text is parsed as the adapter parses it and goes
// to PrintTextDocument: text lines with graphic-text blocks and the cut string, barcodes and QR codes from
// Value or ValueBase64, and graphic text. The first byte picks the starting storage (bit 0: an open shift,
// else a new storage) and whether the document goes through the ESC/POS encoder (bit 1; a text document is
// always printed); the rest is the package text.
#include "training_register.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace veltrano;

struct Target {
    fuzz::TrainingRegister Register;
    std::string New = Register.NewStorageState();
    std::string Open = Register.OpenShiftState();
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Target target;
    if (size == 0)
        return 0;
    const std::string_view packageText(reinterpret_cast<const char*>(data + 1), size - 1);
    fuzz::TrainingRegister& trainingRegister = target.Register;
    trainingRegister.Restore((data[0] & 1) != 0 ? target.Open : target.New);
    trainingRegister.UsePaper((data[0] & 2) != 0);
    trainingRegister.Attempt("PrintTextDocument", [&] {
        pugi::xml_document package;
        fuzz::ParseHostXml(package, packageText);
        trainingRegister.Driver().PrintTextDocument(package);
    });
    return 0;
}

// Registration parameters (ОперацияФН): the parameters text is parsed as the adapter parses it and goes to
// OperationFN. The first byte is the operation type (the host's integer keeps only its low byte: 1 registers,
// 2 re-registers, 3 closes the storage, any other prints a document without a body); the second byte picks
// the starting storage (its value modulo 3: a new storage, a closed shift, an open shift) and, with bit 7,
// sends documents through the ESC/POS encoder; the rest is the parameters text. A successful operation is
// read back with ПолучитьПараметрыККТ, which must then succeed too.
#include "training_register.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace veltrano;

struct Target {
    fuzz::TrainingRegister Register;
    std::string New = Register.NewStorageState();
    std::string Closed = Register.ClosedShiftState();
    std::string Open = Register.OpenShiftState();
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Target target;
    if (size < 2)
        return 0;
    const std::uint8_t operationType = data[0];
    const std::string_view parametersText(reinterpret_cast<const char*>(data + 2), size - 2);
    fuzz::TrainingRegister& trainingRegister = target.Register;
    const unsigned state = (data[1] & 0x7F) % 3;
    trainingRegister.Restore(state == 0 ? target.New : state == 1 ? target.Closed : target.Open);
    trainingRegister.UsePaper((data[1] & 0x80) != 0);
    kkt::CashRegisterDriver& driver = trainingRegister.Driver();
    const bool done = trainingRegister.Attempt("OperationFN", [&] {
        pugi::xml_document parameters;
        fuzz::ParseHostXml(parameters, parametersText);
        driver.OperationFN(operationType, parameters);
    });
    if (!done)
        return 0;
    // What a registration stored is what the KKT table shows: reading it back must not fail.
    const bool read = trainingRegister.Attempt("GetDataKKT", [&] {
        pugi::xml_document table;
        driver.GetDataKKT(table);
    });
    if (!read) {
        std::fprintf(stderr, "\nGetDataKKT failed after OperationFN %u succeeded\n", operationType);
        std::abort();
    }
    return 0;
}

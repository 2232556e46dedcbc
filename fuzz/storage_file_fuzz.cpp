// A damaged DataFN.xml met at connection: the bytes of the input (after its first byte) are written as the
// storage file, the instance gets a kkt::FiscalStorage constructed on them (as a connection makes it; the
// settings are not applied again, which would cost more than the rest), and one operation runs on it,
// then ПолучитьТекущееСостояние. The first byte picks the operation (bits 0-5, modulo the number of
// operations below), the way the file is made (bit 6) and, with bit 7, sends documents through the ESC/POS
// encoder.
//
// With bit 6 clear the rest of the input is the file itself. With bit 6 set it is a list of hand edits to a
// well-formed storage, so that whole fields go missing or change kind as easily as bytes change: the second
// byte picks the storage (modulo 4: new, a shift open, closed, expired), then one edit a line:
//   d<field>           the field is removed
//   v<field>=<text>    its Value becomes the text
//   t<field>=<text>    its TypeValue becomes the text
//   a<field>           its Value attribute is removed
//   c<field>           a second copy of the field follows it
//
// What must hold: the connection either keeps the file as it is or, when it is no well-formed XML, replaces
// it by a new default storage (the one a first connection creates); an operation that is refused leaves the
// storage file and the output file as they were after the connection. The repair at connection is the one
// legitimate change of a file on this path, so the unchanged-files check starts after it.
#include "training_register.h"

#include "common/money.h"
#include "common/xml.h"
#include "kkt/operations/registration.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

namespace {

using namespace veltrano;

struct Target {
    fuzz::TrainingRegister Register;
    std::array<std::string, 4> States{Register.NewStorageState(), Register.OpenShiftState(),
                                      Register.ClosedShiftState(), Register.ExpiredShiftState()};
    const std::string& New = States[0];
};

// The storage of the second byte with the edits of the lines after it; empty when there is no second byte.
std::string EditedStorage(const Target& target, std::string_view input) {
    if (input.empty())
        return {};
    pugi::xml_document storage;
    xml::Parse(storage, target.States[static_cast<unsigned char>(input.front()) % target.States.size()]);
    pugi::xml_node root = storage.child("DataFN");
    input.remove_prefix(1);
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        const std::string_view line = input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
        if (line.size() < 2)
            continue;
        const std::size_t equals = line.find('=');
        const std::string name(line.substr(1, equals == std::string_view::npos ? line.npos : equals - 1));
        const std::string value(equals == std::string_view::npos ? "" : line.substr(equals + 1));
        pugi::xml_node field = root.child(name.c_str());
        if (!field)
            continue;
        switch (line.front()) {
        case 'd':
            root.remove_child(field);
            break;
        case 'v':
            field.attribute("Value").set_value(value.c_str());
            break;
        case 't':
            field.attribute("TypeValue").set_value(value.c_str());
            break;
        case 'a':
            field.remove_attribute("Value");
            break;
        case 'c':
            root.insert_copy_after(field, field);
            break;
        default:
            break;
        }
    }
    return xml::ToText(storage);
}

constexpr std::string_view Sale =
    R"(<CheckPackage><Parameters CashierName="Фаззер" OperationType="1" TaxationSystem="0"/><Positions>)"
    R"(<FiscalString Name="Хлеб" Quantity="1" PriceWithDiscount="50" AmountWithDiscount="50" VATRate="10"/>)"
    R"(</Positions><Payments Cash="20" ElectronicPayment="30"/></CheckPackage>)";
constexpr std::string_view Correction =
    R"(<CheckCorrectionPackage><Parameters CashierName="Фаззер" OperationType="1" TaxationSystems="0">)"
    R"(<CorrectionData Type="0" Description="Ошибка" Number="1" Date="2024-01-15"/></Parameters><Positions>)"
    R"(<FiscalString VATRate="20" VATAmount="1.67"/></Positions><Payments Cash="10"/></CheckCorrectionPackage>)";
constexpr std::string_view TextDocument =
    R"(<Document><Positions><TextString Text="Строка"/><Barcode Type="EAN13" Value="4601234567893"/>)"
    R"(</Positions></Document>)";
constexpr std::string_view Registration =
    R"(<Parameters CashierName="Фаззер" INN="7700000000" KKTNumber="0000000001" CompanyName="ООО Учебная" )"
    R"(TaxationSystems="0,1" AgentTypes="4"/>)";

constexpr std::array<std::string_view, 13> OperationNames{
    "GetCurrentStatus",
    "OpenShift",
    "CloseShift",
    "CashInOutcome in",
    "CashInOutcome out",
    "PrintXReport",
    "ReportCurrentStatusOfSettlements",
    "GetDataKKT",
    "ProcessCheck",
    "ProcessCorrectionCheck",
    "PrintTextDocument",
    "OperationFN 1",
    "OperationFN 3",
};

void Run(kkt::CashRegisterDriver& driver, std::size_t operation) {
    pugi::xml_document input;
    pugi::xml_document output;
    const auto parse = [&](std::string_view text) { fuzz::ParseHostXml(input, text); };
    switch (operation) {
    case 0:
        parse(fuzz::CashierInput(""));
        driver.GetCurrentStatus(input, output);
        break;
    case 1:
        parse(fuzz::CashierInput("Фаззер"));
        driver.OpenShift(input, output);
        break;
    case 2:
        parse(fuzz::CashierInput("Фаззер"));
        driver.CloseShift(input, output);
        break;
    case 3:
        parse(fuzz::CashierInput(""));
        driver.CashInOutcome(input, Money::FromWhole(100));
        break;
    case 4:
        parse(fuzz::CashierInput(""));
        driver.CashInOutcome(input, Money::FromWhole(-100));
        break;
    case 5:
        parse(fuzz::CashierInput("Фаззер"));
        driver.PrintXReport(input);
        break;
    case 6:
        parse(fuzz::CashierInput("Фаззер"));
        driver.ReportCurrentStatusOfSettlements(input, output);
        break;
    case 7:
        driver.GetDataKKT(output);
        break;
    case 8:
        parse(Sale);
        driver.ProcessCheck(false, input, output, false);
        break;
    case 9:
        parse(Correction);
        driver.ProcessCorrectionCheck(false, input, output);
        break;
    case 10:
        parse(TextDocument);
        driver.PrintTextDocument(input);
        break;
    case 11:
        parse(Registration);
        driver.OperationFN(kkt::OperationRegistration, input);
        break;
    default:
        parse(Registration);
        driver.OperationFN(kkt::OperationCloseFN, input);
        break;
    }
}

bool WellFormed(std::string_view bytes) {
    try {
        pugi::xml_document doc;
        xml::Parse(doc, bytes);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Target target;
    if (size == 0)
        return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string storageBytes = (data[0] & 0x40) != 0 ? EditedStorage(target, rest) : std::string(rest);
    const std::size_t operation = (data[0] & 0x3F) % OperationNames.size();
    fuzz::TrainingRegister& trainingRegister = target.Register;

    trainingRegister.Restore(storageBytes);
    // The storage is constructed on the file as a connection constructs it.
    if (!trainingRegister.Attempt("FiscalStorage", [&] { trainingRegister.ReloadStorage(); })) {
        std::fprintf(stderr, "\nthe connection failed on a storage file that can be read\n");
        std::abort();
    }
    const std::string found = trainingRegister.StorageBytes();
    if (found != storageBytes && (WellFormed(storageBytes) || found != target.New)) {
        std::fprintf(stderr, "\nthe connection changed the storage file other than by a clean repair\n");
        std::abort();
    }
    trainingRegister.UsePaper((data[0] & 0x80) != 0);
    kkt::CashRegisterDriver& driver = trainingRegister.Driver();
    trainingRegister.Attempt(OperationNames[operation], [&] { Run(driver, operation); });
    if (operation != 0)
        trainingRegister.Attempt(OperationNames[0], [&] { Run(driver, 0); });
    return 0;
}

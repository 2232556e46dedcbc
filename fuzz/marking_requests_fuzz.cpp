// The marking-code calls of one session as a host makes them, one per line of the input (at most 32), on a
// register with an open shift:
//   O               ОткрытьСессиюРегистрацииКМ
//   C               ЗакрытьСессиюРегистрацииКМ
//   R<xml>          ЗапросКМ with the rest of the line as its input text
//   K<guid>\t<planned status>\t<code bytes>
//                   ЗапросКМ with <RequestKM GUID PlannedStatus MarkingCode="(the bytes in Base64)"/>: the
//                   marking code itself, unencoded, so that the code's own reader is reached
//   G               ПолучитьРезультатыЗапросаКМ
//   F<type><guid>   ПодтвердитьКМ with the type as a digit (any character: its value minus '0')
//   P<xml>          СформироватьЧек with the rest of the line as its package text
//   S<code bytes>   СформироватьЧек selling one marked position with that code
// Every refused call must leave the storage file and the output file as they were.
#include "training_register.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

namespace {

using namespace veltrano;

constexpr int MaxCalls = 32;

struct Target {
    fuzz::TrainingRegister Register;
    std::string Open = Register.OpenShiftState();
};

std::string Base64(std::string_view bytes) {
    static constexpr std::string_view Alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t group = 0;
        const std::size_t n = bytes.size() - i < 3 ? bytes.size() - i : 3;
        for (std::size_t j = 0; j < 3; ++j)
            group = group << 8 | (j < n ? static_cast<unsigned char>(bytes[i + j]) : 0u);
        for (std::size_t j = 0; j < 4; ++j)
            text += j <= n ? Alphabet[(group >> (18 - 6 * j)) & 0x3F] : '=';
    }
    return text;
}

std::string Text(const pugi::xml_document& doc) {
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw);
    return out.str();
}

// The fields of a K line: the GUID, the planned status, then the code bytes (which may hold tabs).
std::string RequestText(std::string_view rest) {
    const std::size_t tab1 = rest.find('\t');
    const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : rest.find('\t', tab1 + 1);
    const std::string_view guid = rest.substr(0, tab1);
    const std::string_view planned =
        tab1 == std::string_view::npos
            ? "1"
            : rest.substr(tab1 + 1, tab2 == rest.npos ? rest.npos : tab2 - tab1 - 1);
    const std::string_view code = tab2 == std::string_view::npos ? "" : rest.substr(tab2 + 1);
    pugi::xml_document request;
    pugi::xml_node root = request.append_child("RequestKM");
    root.append_attribute("GUID") = std::string(guid).c_str();
    root.append_attribute("MarkingCode") = Base64(code).c_str();
    root.append_attribute("PlannedStatus") = std::string(planned).c_str();
    return Text(request);
}

std::string SaleText(std::string_view code) {
    pugi::xml_document sale;
    pugi::xml_node package = sale.append_child("CheckPackage");
    pugi::xml_node parameters = package.append_child("Parameters");
    parameters.append_attribute("CashierName") = "Маркова М.М.";
    parameters.append_attribute("OperationType") = "1";
    parameters.append_attribute("TaxationSystem") = "0";
    pugi::xml_node position = package.append_child("Positions").append_child("FiscalString");
    for (const auto& [name, value] : {std::pair{"Name", "Туфли"},
                                      {"Quantity", "1"},
                                      {"PriceWithDiscount", "10"},
                                      {"AmountWithDiscount", "10"},
                                      {"VATRate", "10"},
                                      {"CalculationSubject", "1"},
                                      {"PaymentMethod", "4"}})
        position.append_attribute(name) = value;
    position.append_attribute("MarkingCode") = Base64(code).c_str();
    package.append_child("Payments").append_attribute("Cash") = "10";
    return Text(sale);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Target target;
    fuzz::TrainingRegister& trainingRegister = target.Register;
    trainingRegister.Restore(target.Open);
    trainingRegister.UsePaper(false);
    kkt::CashRegisterDriver& driver = trainingRegister.Driver();

    std::string_view input(reinterpret_cast<const char*>(data), size);
    for (int calls = 0; calls < MaxCalls && !input.empty(); ++calls) {
        const std::size_t end = input.find('\n');
        const std::string_view line = input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
        if (line.empty())
            continue;
        const std::string_view rest = line.substr(1);
        switch (line.front()) {
        case 'O':
            trainingRegister.Attempt("OpenSessionRegistrationKM",
                                     [&] { driver.OpenSessionRegistrationKM(); });
            break;
        case 'C':
            trainingRegister.Attempt("CloseSessionRegistrationKM",
                                     [&] { driver.CloseSessionRegistrationKM(); });
            break;
        case 'R':
        case 'K':
            trainingRegister.Attempt("RequestKM", [&] {
                pugi::xml_document request;
                fuzz::ParseHostXml(request, line.front() == 'R' ? std::string(rest) : RequestText(rest));
                pugi::xml_document output;
                driver.RequestKM(request, output);
            });
            break;
        case 'G':
            trainingRegister.Attempt("GetProcessingKMResult", [&] {
                pugi::xml_document output;
                std::int32_t status = 0;
                driver.GetProcessingKMResult(output, status);
            });
            break;
        case 'F':
            if (rest.empty())
                break;
            trainingRegister.Attempt(
                "ConfirmKM", [&] { driver.ConfirmKM(std::string(rest.substr(1)), rest.front() - '0'); });
            break;
        case 'P':
        case 'S':
            trainingRegister.Attempt("ProcessCheck", [&] {
                pugi::xml_document package;
                fuzz::ParseHostXml(package, line.front() == 'P' ? std::string(rest) : SaleText(rest));
                pugi::xml_document output;
                driver.ProcessCheck(false, package, output, false);
            });
            break;
        default:
            break;
        }
    }
    return 0;
}

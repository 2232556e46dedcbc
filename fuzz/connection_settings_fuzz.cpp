// The connection settings (ПодключитьОборудование): the settings text is parsed as the adapter parses it and
// a second device connects with it beside the fixture's own, on the same storage (a shift open with cash).
// A connection that succeeds prints a text document, a sale and the equipment test's sample document, and
// reports its line width; then it is disconnected. The first byte's bit 0 sends the documents through the
// ESC/POS encoder (with the ESC codes, code page and geometry of the settings); the rest is the settings
// text.
//
// Two settings would reach outside the fixture and are pinned: a PrintOutFilePath that is not blank names the
// fixture's output file instead, and the printer connection made from InterfaceType and the port settings
// is replaced before any document (by none, or by the never-failing paper of bit 0), so no real device or
// network is opened. The log switch is put back off after each input.
#include "training_register.h"

#include "common/text.h"
#include "kkt/print_document.h"
#include "log/log.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace veltrano;

struct Target {
    fuzz::TrainingRegister Register;
    std::string Open = Register.OpenShiftState();
};

constexpr std::string_view TextDocument =
    R"(<Document><Positions><TextString Text="[b]Жирный[/b] [i]курсив[/i] [u]подчёркнутый[/u]"/>)"
    R"(<TextString Text="[invert]Инверсия[/invert] [font1]1[/font1][font2]2[/font2][font3]3[/font3]"/>)"
    R"(<TextString Text="[customfont]Свой шрифт[/customfont]"/><TextString Text="[gt1]Графический[/gt1]"/>)"
    R"(<TextString Text="[gt5]Пятый стиль[/gt5]"/><TextString Text="--[cut]--"/>)"
    R"(<TextString Text="Очень длинная строка, которая не помещается в ширину ленты и переносится"/>)"
    R"(<Barcode Type="EAN8" Value="46120441"/><Barcode Type="EAN13" Value="4601234567893"/>)"
    R"(<Barcode Type="CODE39" Value="2PMP-468-PJM"/><Barcode Type="QR" Value="t=20240501T1345&amp;s=100.00"/>)"
    R"(<GraphicText Text="Спасибо" FontName="DejaVu Sans" FontStyle="bold italic" FontSize="16"/>)"
    R"(</Positions></Document>)";
constexpr std::string_view Sale =
    R"(<CheckPackage><Parameters CashierName="Фаззер" OperationType="1" TaxationSystem="0" )"
    R"(CustomerEmail="buyer@example.ru" ReceiptText="Спасибо[cut]"/><Positions>)"
    R"(<FiscalString Name="Хлеб" Quantity="1" PriceWithDiscount="50" AmountWithDiscount="50" VATRate="10"/>)"
    R"(<TextString Text="[gt2]Акция[/gt2]"/><Barcode Type="EAN13" Value="4601234567893"/>)"
    R"(</Positions><Payments Cash="20" ElectronicPayment="30"/></CheckPackage>)";

// The element children ApplySettings reads: Parameter in any letter case under the first Parameters.
void PinOutputFile(pugi::xml_document& settings, const std::string& outputFile) {
    for (pugi::xml_node node : settings.child("Parameters").children()) {
        if (node.type() != pugi::node_element || !text::EqualsNoCase(node.name(), "Parameter") ||
            !text::EqualsNoCase(node.attribute("Name").value(), "PrintOutFilePath"))
            continue;
        pugi::xml_attribute value = node.attribute("Value");
        if (value && !text::Trim(value.value()).empty())
            value.set_value(outputFile.c_str());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Target target;
    if (size == 0)
        return 0;
    const std::string_view settingsText(reinterpret_cast<const char*>(data + 1), size - 1);
    const bool paper = (data[0] & 1) != 0;
    fuzz::TrainingRegister& trainingRegister = target.Register;
    kkt::CashRegisterDriver& driver = trainingRegister.Driver();
    trainingRegister.Select(trainingRegister.DeviceId());
    trainingRegister.Restore(target.Open);

    pugi::xml_document settings;
    const bool connected = trainingRegister.Attempt("ConnectEquipment", [&] {
        fuzz::ParseHostXml(settings, settingsText);
        PinOutputFile(settings, trainingRegister.OutputFile().string());
        driver.ConnectEquipment(settings);
    });
    if (connected) {
        const std::string deviceId = driver.DeviceId();
        trainingRegister.UsePaper(paper);
        trainingRegister.Attempt("PrintTextDocument", [&] {
            pugi::xml_document package;
            fuzz::ParseHostXml(package, TextDocument);
            driver.PrintTextDocument(package);
        });
        trainingRegister.Attempt("ProcessCheck", [&] {
            pugi::xml_document package;
            fuzz::ParseHostXml(package, Sale);
            pugi::xml_document output;
            driver.ProcessCheck(true, package, output, false);
        });
        trainingRegister.Attempt("equipment test document", [&] {
            kkt::LayOutEquipmentTestDocument(driver.Instance());
            kkt::PrintDocument(driver.Instance(), false);
        });
        trainingRegister.Attempt("GetLineLength", [&] { (void)driver.GetLineLength(); });
        driver.DisconnectEquipment(deviceId);
    }
    log::SetLogMode(log::ModeOff);
    return 0;
}

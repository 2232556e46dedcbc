#include "driver/common_driver.h"
#include "kkt/driver.h"
#include "kkt/frame/document_frame.h"
#include "kkt/print_document.h"
#include "output/device.h"
#include "output/print_object.h"

#include <array>
#include <string>
#include <string_view>

namespace veltrano::kkt {
namespace {

constexpr std::string_view TestDescription = "Driver KKT-online training 1C:Compatible 3.X NativeAPI";

constexpr std::array<std::string_view, 10> SampleTexts{
    "Driver KKT-online training 1C:Compatible",
    "Драйвер ККТ-онлайн учебный 1С:Совместимо",
    "[b]Bold font type[/b]",
    "[i]Italics font type[/i]",
    "[u]Underline font type[/u]",
    "[invert]Inversion font type[/invert]",
    "[font1]Font1 sample[/font1]",
    "[font2]Font2 sample[/font2]",
    "[font3]Font3 sample[/font3]",
    "[customfont]Custom font sample[/customfont]",
};

constexpr int GraphicTextSamples = 5;

} // namespace

void TDriver::EquipmentTest(const pugi::xml_document& settings, std::string& description, std::string&) {
    description = TestDescription;
    // The test's connection must not use up an identifier meant for the real connection that follows.
    const std::string externalDeviceId = FExternalDeviceId;
    try {
        ConnectEquipment(settings);
        FExternalDeviceId = externalDeviceId;
        TDeviceDriver& instance = Instance();
        LayOutEquipmentTestDocument(instance);
        // Neither shown nor written to the output file: the sample only goes to the paper.
        if (instance.EnablePrinting != PrintingSwitchedOff)
            PrintDocument(instance, false);
    } catch (...) {
        FExternalDeviceId = externalDeviceId;
        DisconnectEquipment(FDeviceID);
        throw;
    }
    DisconnectEquipment(FDeviceID);
}

void LayOutEquipmentTestDocument(TDeviceDriver& instance) {
    output::TDevice& device = instance.Device();
    device.ClearBuffer();
    for (const std::string_view sample : SampleTexts)
        device.PrintText(sample, "");
    for (int n = 1; n <= GraphicTextSamples; ++n) {
        const TDeviceDriver::TGraphicTextStyle style = instance.GraphicTextStyle(n);
        auto descriptor =
            output::MakePrintObject(output::KindGraphicText, "Graphic text" + std::to_string(n));
        descriptor->FontName = style.FontName;
        descriptor->FontSize = style.FontSize;
        descriptor->FontStyle = style.FontStyle;
        device.PrintGraphicText(descriptor);
    }
    device.PrintBarcode("46120441", output::KindEAN8);
    device.PrintBarcode("2900001462105", output::KindEAN13);
    device.PrintBarcode("2PMP-468-PJM", output::KindCode39);
    device.PrintQRcode(driver::kDownloadURL);
}

} // namespace veltrano::kkt

#include "driver/common_driver.h"
#include "kkt/cash_register_driver.h"
#include "kkt/frame/document_frame.h"
#include "kkt/print_document.h"
#include "output/output_device.h"
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

void CashRegisterDriver::EquipmentTest(const pugi::xml_document& settings, std::string& description,
                                       std::string&) {
    description = TestDescription;
    // The test's connection must not use up an identifier meant for the real connection that follows.
    const std::string externalDeviceId = pendingExternalDeviceId_;
    try {
        ConnectEquipment(settings);
        pendingExternalDeviceId_ = externalDeviceId;
        DeviceInstance& instance = Instance();
        LayOutEquipmentTestDocument(instance);
        // Neither shown nor written to the output file: the sample only goes to the paper.
        if (instance.EnablePrinting != PrintingSwitchedOff)
            PrintDocument(instance, false);
    } catch (...) {
        pendingExternalDeviceId_ = externalDeviceId;
        DisconnectEquipment(DeviceId());
        throw;
    }
    DisconnectEquipment(DeviceId());
}

void LayOutEquipmentTestDocument(DeviceInstance& instance) {
    output::OutputDevice& device = instance.Device();
    device.ClearBuffer();
    for (const std::string_view sample : SampleTexts)
        device.PrintText(sample, "");
    for (int n = 1; n <= GraphicTextSamples; ++n) {
        const DeviceInstance::TextStyle style = instance.GraphicTextStyle(n);
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

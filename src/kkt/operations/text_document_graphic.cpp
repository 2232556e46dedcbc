#include "kkt/operations/text_document_graphic.h"

#include "kkt/device_instance.h"

namespace veltrano::kkt {

output::PrintObjectPtr GraphicTextDescriptor(const DeviceInstance& instance, const GraphicTextBlock& block) {
    const DeviceInstance::TextStyle style = instance.GraphicTextStyle(block.Style);
    auto descriptor = output::MakePrintObject(output::KindGraphicText, block.Text);
    descriptor->FontName = style.FontName;
    descriptor->FontSize = style.FontSize;
    descriptor->FontStyle = style.FontStyle;
    return descriptor;
}

} // namespace veltrano::kkt

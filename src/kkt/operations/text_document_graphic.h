// Graphic-text blocks written as [gtN]…[/gtN] in a line of a text document.
#pragma once

#include "output/print_object.h"

#include <optional>
#include <string>
#include <string_view>

namespace veltrano::kkt {

class DeviceInstance;

struct GraphicTextBlock {
    int Style = 1; // 1..5
    std::string Text;
};

// The block of a line that has both an opening tag [gt1]..[gt5] and a closing tag with one or more slashes
// ([/gt2], [//gt2]), letter case ignored: the text from the first opening tag to the first closing tag (empty
// when the closing tag comes first) in the style of the opening tag. The closing tag's digit is not compared.
// Nothing when either tag is missing.
std::optional<GraphicTextBlock> FindGraphicTextBlock(std::string_view line);

// A graphic-text descriptor of the block's text in the font name, size and style words of its style.
output::PrintObjectPtr GraphicTextDescriptor(const DeviceInstance& instance, const GraphicTextBlock& block);

} // namespace veltrano::kkt

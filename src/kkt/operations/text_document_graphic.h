// Graphic-text blocks written as [gtN]…[/gtN] in a line of a text document.
#pragma once

#include "output/markup.h"
#include "output/print_object.h"

namespace veltrano::kkt {

class DeviceInstance;

// The search for a line's block is the markup scanner's.
using output::FindGraphicTextBlock;
using output::GraphicTextBlock;

// A graphic-text descriptor of the block's text in the font name, size and style words of its style.
output::PrintObjectPtr GraphicTextDescriptor(const DeviceInstance& instance, const GraphicTextBlock& block);

} // namespace veltrano::kkt

// The receipt preview: one window per process, shared by every device, that lists the finished documents and
// draws the selected one. The window program is separate; this seam is what the output device talks to.
#pragma once

#include "output/print_object.h"

#include <cstddef>
#include <memory>
#include <string>

namespace veltrano::output {

// Where and how the window sits on the screen, computed by the device from its line length.
struct PreviewPlacement {
    int Opacity = 255;    // of 255
    int SnapDistance = 0; // pixels from a screen edge at which the window snaps to it
    int ClientWidth = 0;
    int MinWindowWidth = 0;
    int ScreenHeightMargin = 0; // the client height is the screen height less this
};

class IReceiptPreview {
public:
    virtual ~IReceiptPreview() = default;

    virtual bool Exists() const = 0;
    // Creates the window for the line length and mode (ShowReceiptForm); an existing window stays unchanged.
    virtual void Ensure(std::size_t lineLen, int showReceiptForm) = 0;
    virtual void Destroy() = 0;
    virtual void Place(const PreviewPlacement& placement) = 0;
    // Pixel width of "W" in the monospaced preview font ("Courier New", 8 points).
    virtual int MonospacedCharWidth() const = 0;
    // Adds a finished document to the list, stops a fade-out in progress, selects and shows it; the window
    // keeps the copy (and so its descriptors) from then on.
    virtual void AddDocument(std::string caption, std::string number, ReceiptEntries copy) = 0;
};

// The process-wide preview; a preview without a window until another one is installed.
IReceiptPreview& ReceiptPreview();
// Installs a preview (null puts the windowless one back) and returns the one it replaces.
std::shared_ptr<IReceiptPreview> InstallReceiptPreview(std::shared_ptr<IReceiptPreview> preview);

} // namespace veltrano::output

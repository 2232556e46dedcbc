#include "output/receipt_preview.h"

#include "output/no_window_preview.h"

namespace veltrano::output {
namespace {

std::shared_ptr<IReceiptPreview>& Installed() {
    static std::shared_ptr<IReceiptPreview> preview = std::make_shared<NoWindowPreview>();
    return preview;
}

} // namespace

IReceiptPreview& ReceiptPreview() {
    return *Installed();
}

std::shared_ptr<IReceiptPreview> InstallReceiptPreview(std::shared_ptr<IReceiptPreview> preview) {
    if (!preview)
        preview = std::make_shared<NoWindowPreview>();
    Installed().swap(preview);
    return preview;
}

} // namespace veltrano::output

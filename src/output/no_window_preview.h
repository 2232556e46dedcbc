// The preview used where no window can be shown: it keeps the window's life-cycle rules but drops documents.
#pragma once

#include "output/receipt_preview.h"

namespace veltrano::output {

class NoWindowPreview final : public IReceiptPreview {
public:
    // A typical width of "W" in an 8-point monospaced font.
    static constexpr int CharWidth = 7;

    bool Exists() const override { return exists_; }
    void Ensure(std::size_t lineLen, int showReceiptForm) override;
    void Destroy() override { exists_ = false; }
    void Place(const PreviewPlacement&) override {}
    int MonospacedCharWidth() const override { return CharWidth; }
    void AddDocument(std::string caption, std::string number, ReceiptEntries copy) override;

private:
    bool exists_ = false;
    bool reported_ = false;
};

} // namespace veltrano::output

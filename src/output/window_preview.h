// The preview shown by the window program: each finished document is drawn on the document canvas here and
// sent to the program's preview window as its caption, number and picture. The program's window is made with
// the first document it is to show, and again after a program that died has been replaced. Without a display,
// or when the program cannot start, documents are only noted in the log; the output file and the printer get
// them all the same.
#pragma once

#include "output/canvas/document_canvas.h"
#include "output/receipt_preview.h"
#include "platform/window_program.h"

#include <optional>
#include <sys/types.h>

namespace veltrano::output {

class WindowPreview final : public IReceiptPreview {
public:
    explicit WindowPreview(platform::WindowProgram& program) : program_(program) {}
    // The window goes with the preview: it never outlives the module.
    ~WindowPreview() override;

    bool Exists() const override { return exists_; }
    void Ensure(std::size_t lineLen, int showReceiptForm) override;
    void Destroy() override;
    void Place(const PreviewPlacement& placement) override;
    int MonospacedCharWidth() const override;
    void AddDocument(std::string caption, std::string number, ReceiptEntries copy) override;

private:
    // Whether the program running now holds this preview's window.
    bool WindowShown();
    bool Send(const window_protocol::Message& message);
    void Report(const platform::WindowProgram::Result& result);

    platform::WindowProgram& program_;
    bool exists_ = false;
    int mode_ = 2;
    std::optional<DocumentCanvas> canvas_;
    std::optional<PreviewPlacement> placement_;
    // The program process that made the window; 0 while no program holds it.
    pid_t windowIn_ = 0;
    // A program that could not start is not tried again in this process: each try may wait for seconds.
    bool gaveUp_ = false;
    bool noDisplayReported_ = false;
};

} // namespace veltrano::output

#include "output/window_preview.h"

#include "log/log.h"

#include <utility>

namespace veltrano::output {
namespace {

namespace protocol = window_protocol;

constexpr std::string_view LogSource = "Окно просмотра чека";

protocol::PreviewPlace Wire(const PreviewPlacement& placement) {
    return protocol::PreviewPlace{placement.Opacity, placement.SnapDistance, placement.ClientWidth,
                                  placement.MinWindowWidth, placement.ScreenHeightMargin};
}

} // namespace

WindowPreview::~WindowPreview() {
    Destroy();
}

void WindowPreview::Ensure(std::size_t lineLen, int showReceiptForm) {
    if (exists_)
        return;
    exists_ = true;
    mode_ = showReceiptForm;
    canvas_.emplace(lineLen);
}

void WindowPreview::Destroy() {
    exists_ = false;
    canvas_.reset();
    placement_.reset();
    if (WindowShown())
        Send(protocol::PreviewDestroy{});
    windowIn_ = 0;
}

void WindowPreview::Place(const PreviewPlacement& placement) {
    placement_ = placement;
    if (WindowShown())
        Send(Wire(placement));
}

int WindowPreview::MonospacedCharWidth() const {
    if (canvas_)
        return canvas_->SymbWidth();
    static const int width = DocumentCanvas(1).SymbWidth();
    return width;
}

void WindowPreview::AddDocument(std::string caption, std::string number, ReceiptEntries copy) {
    if (!exists_ || gaveUp_)
        return;
    CanvasDrawing drawing = canvas_->Draw(copy);
    if (drawing.ItemsLeftOut > 0)
        log::WriteLog("Документ слишком велик для окна просмотра, показано не всё",
                      caption + " " + number + ": без последних " + std::to_string(drawing.ItemsLeftOut) +
                          " элементов",
                      log::Level::Info);
    if (!WindowShown()) {
        if (!Send(protocol::PreviewCreate{mode_}))
            return;
        windowIn_ = program_.ProcessId();
        if (placement_ && !Send(Wire(*placement_)))
            return;
    }
    Send(protocol::PreviewDocument{std::move(caption), std::move(number), std::move(drawing.Picture)});
}

bool WindowPreview::WindowShown() {
    return windowIn_ != 0 && program_.Running() && program_.ProcessId() == windowIn_;
}

bool WindowPreview::Send(const protocol::Message& message) {
    const platform::WindowProgram::Result result = program_.Post(message);
    if (result.Ok())
        return true;
    Report(result);
    return false;
}

void WindowPreview::Report(const platform::WindowProgram::Result& result) {
    using Status = platform::WindowProgram::Status;
    switch (result.Outcome) {
    case Status::Done:
        return;
    case Status::NoDisplay:
        // Said once: every later document would only repeat it.
        if (!noDisplayReported_)
            log::WriteLog("Окно просмотра чека недоступно: нет дисплея", result.Message, log::Level::Info);
        noDisplayReported_ = true;
        return;
    case Status::NotStarted:
        gaveUp_ = true;
        log::WriteLog(LogSource, result.Message + "; документы больше не показываются", log::Level::Error);
        return;
    case Status::Died:
        // The next document starts a new program and makes the window again.
        windowIn_ = 0;
        log::WriteLog(LogSource, result.Message, log::Level::Error);
        return;
    case Status::Refused:
        log::WriteLog(LogSource, result.Message, log::Level::Error);
        return;
    }
}

} // namespace veltrano::output

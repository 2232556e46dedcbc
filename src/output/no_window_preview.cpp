#include "output/no_window_preview.h"

#include "driver/log.h"

namespace veltrano::output {

void TNoWindowPreview::Ensure(std::size_t, int) {
    exists_ = true;
}

void TNoWindowPreview::AddDocument(std::string caption, std::string number, TReceiptList) {
    // Said once: every later document would only repeat it.
    if (reported_)
        return;
    reported_ = true;
    log::WriteLog("Окно просмотра чека недоступно: нет дисплея", caption + " " + number, log::Level::Info);
}

} // namespace veltrano::output

#include "output/no_window_preview.h"

#include "log/log.h"

namespace veltrano::output {

void NoWindowPreview::Ensure(std::size_t, int) {
    exists_ = true;
}

void NoWindowPreview::AddDocument(std::string caption, std::string number, ReceiptEntries) {
    // Said once: every later document would only repeat it.
    if (reported_)
        return;
    reported_ = true;
    log::WriteLog("Окно просмотра чека недоступно: нет дисплея", caption + " " + number, log::Level::Info);
}

} // namespace veltrano::output

#include "kkt/frame/document_clock.h"

#include "platform/platform.h"

#include <cstdio>

namespace veltrano::kkt {
namespace {

DocumentClock gClock = nullptr;

} // namespace

void SetDocumentClock(DocumentClock clock) {
    gClock = clock;
}

moment::DateTime DocumentNow() {
    return gClock != nullptr ? gClock() : platform::LocalNow();
}

moment::Moment DocumentMoment() {
    return moment::ToMoment(DocumentNow());
}

std::string MomentText(const moment::DateTime& dt) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", dt.year, dt.month, dt.day, dt.hour,
                  dt.minute, dt.second);
    return buffer;
}

} // namespace veltrano::kkt

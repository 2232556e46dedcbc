#include "platform/platform.h"

#include <chrono>
#include <ctime>

namespace veltrano::platform {

moment::DateTime LocalNow() {
    const auto now = std::chrono::system_clock::now();
    const auto sinceEpoch = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    if (::localtime_r(&seconds, &local) == nullptr)
        ::gmtime_r(&seconds, &local);
    moment::DateTime dt;
    dt.year = local.tm_year + 1900;
    dt.month = local.tm_mon + 1;
    dt.day = local.tm_mday;
    dt.hour = local.tm_hour;
    dt.minute = local.tm_min;
    // A leap second shows as the last second of its minute.
    dt.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    dt.millisecond = static_cast<int>((sinceEpoch.count() % 1000 + 1000) % 1000);
    return dt;
}

} // namespace veltrano::platform

#include "common/text.h"
#include "kkt/cash_register_driver.h"
#include "platform/platform.h"

#include <stdexcept>
#include <string>

namespace veltrano::kkt {

std::string CheckedExternalDeviceId(std::string_view identifier) {
    std::string folder = text::Trim(identifier);
    if (folder.empty())
        return folder;
    // The identifier becomes one folder under the data folder: it must name exactly one folder there.
    if (folder == "." || folder == ".." ||
        folder.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos)
        throw std::runtime_error("Внешний идентификатор устройства не может быть именем папки: недопустимы "
                                 "\"/\", \"\\\", символ NUL, \".\" и \"..\"");
    return folder;
}

std::filesystem::path DeviceDataFolder(std::string_view externalDeviceId) {
    const std::string folder = CheckedExternalDeviceId(externalDeviceId);
    if (folder.empty())
        throw std::runtime_error("Не задан внешний идентификатор устройства");
    return platform::CommonAppDataFolder() / "Korvena" / "Veltrano" /
           std::filesystem::path(std::u8string(folder.begin(), folder.end()));
}

void CashRegisterDriver::SetExternalDeviceId(std::string_view identifier) {
    std::string checked = CheckedExternalDeviceId(identifier);
    if (current_ != nullptr)
        current_->SetExternalDeviceId(checked);
    pendingExternalDeviceId_ = std::move(checked);
}

} // namespace veltrano::kkt

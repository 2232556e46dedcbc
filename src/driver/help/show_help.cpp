#include "driver/help/show_help.h"

#include "driver/help/help_page.h"
#include "log/log.h"
#include "platform/carried_program.h"
#include "platform/desktop.h"
#include "platform/platform.h"
#include "resources/resources.h"

#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace veltrano::driver::help {
namespace {

constexpr std::string_view kViewerProgram = "veltrano-help";

// Pages opened in the browser, kept until the module is unloaded (their folders go with this list).
void KeepUntilUnload(platform::PrivateFolder folder) {
    static std::mutex guard;
    static std::vector<platform::PrivateFolder> kept;
    const std::lock_guard lock(guard);
    kept.push_back(std::move(folder));
}

std::string_view Resource(std::string_view sourceName) {
    const std::optional<std::string_view> bytes =
        sourceName.empty() ? std::nullopt : resources::Find(sourceName);
    if (!bytes)
        throw std::runtime_error("File not found: " + std::string(sourceName));
    return *bytes;
}

} // namespace

bool SourceExist(std::string_view sourceName) {
    return !sourceName.empty() && resources::Find(sourceName).has_value();
}

void ShowHelp(std::string_view sourceName, std::string_view caption) {
    const std::string_view archive = Resource(sourceName);
    if (!platform::HasDisplay())
        throw std::runtime_error("Окно справки недоступно: нет дисплея");
    HelpPage page(archive);

    // The help window the module carries, checked before it runs; a build without WebKitGTK has none.
    const platform::ProgramLocation viewer = platform::CarriedProgram(kViewerProgram);
    if (viewer.Ok()) {
        if (platform::RunProgram(viewer.Path, {page.PagePath().string(), std::string(caption)}) == 0)
            return;
        log::WriteLog("Окно справки не открылось, справка передана браузеру", viewer.Path.string(),
                      log::Level::Info);
    } else {
        log::WriteLog("Окно справки недоступно, справка передана браузеру", viewer.Error, log::Level::Info);
    }
    if (!platform::OpenWithDesktop(page.PagePath()))
        throw std::runtime_error("Не удалось открыть справку: нет ни окна справки, ни браузера");
    KeepUntilUnload(std::move(page).ReleaseFolder());
}

} // namespace veltrano::driver::help

// Module lifetime: what runs when the platform loads and unloads the add-in.
//
// Load: the log starts switched off, then CashRegisterDriver is registered under "Veltrano" and the preview
// of the window program is installed. Unload: the preview and the window program end, the class list,
// DeviceLogFlags and the class-names text are freed, then the log writes its closing banner.
//
// The load step runs on the platform's first call into the module (every export calls EnsureModuleLoaded
// before anything else; the platform's first call is GetClassNames or SetPlatformCapabilities, right after
// dlopen). It is not run from a static initialiser on purpose: C++ gives no order between the static objects
// of the module's libraries, and this file's objects come first in the link, so a load step run from here
// would use the driver framework's namespace-scope objects before they are constructed. Run lazily, the
// step's object is constructed after all of them and therefore destroyed (at dlclose or exit) before any of
// them, which is the unload order the Part asks for.
#include "module/module.h"

#include "addin/class_registry.h"
#include "kkt/cash_register_driver.h"
#include "log/log.h"
#include "output/receipt_preview.h"
#include "output/window_preview.h"
#include "platform/window_program.h"

#include <memory>

namespace veltrano::module {

namespace {

class ModuleLifetime {
public:
    ModuleLifetime() noexcept {
        try {
            log::SetLogMode(log::ModeOff); // the log starts switched off
            kkt::RegisterTDriver();        // CashRegisterDriver under "Veltrano"
            // The program is made before the preview that uses it, so that it is destroyed after it.
            platform::WindowProgram& windows = platform::SharedWindowProgram();
            output::InstallReceiptPreview(std::make_shared<output::WindowPreview>(windows));
        } catch (...) {
            // A failed registration leaves no class: GetClassObject then answers 0. Nothing may reach the
            // host.
        }
    }
    ~ModuleLifetime() {
        // No window outlives the module: the preview closes its window, then the program is ended.
        output::InstallReceiptPreview(nullptr);
        platform::StopSharedWindowProgram();
        addin::ClearClassRegistry();
        log::Shutdown();
    }
    ModuleLifetime(const ModuleLifetime&) = delete;
    ModuleLifetime& operator=(const ModuleLifetime&) = delete;
};

} // namespace

void EnsureModuleLoaded() noexcept {
    static ModuleLifetime lifetime; // constructed once, on the first call; thread-safe by the language
    (void)lifetime;
}

} // namespace veltrano::module

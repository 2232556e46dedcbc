// Module lifetime: what runs when the platform loads and unloads the add-in.
//
// Load: the log starts switched off, then CashRegisterDriver is registered under "Veltrano". Unload: the
// class list, DeviceLogFlags and the class-names text are freed, then the log writes its closing banner.
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

namespace veltrano::module {

namespace {

class ModuleLifetime {
public:
    ModuleLifetime() noexcept {
        try {
            log::SetLogMode(log::ModeOff); // the log starts switched off
            kkt::RegisterTDriver();        // CashRegisterDriver under "Veltrano"
        } catch (...) {
            // A failed registration leaves no class: GetClassObject then answers 0. Nothing may reach the
            // host.
        }
    }
    ~ModuleLifetime() {
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

// Documents per second of the training cash register through the host boundary: one shift a cycle (opening,
// cash in, X report, closing) on the virtual device, with the output file on and a temporary data folder.
#include "testhost.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using veltrano::testhost::CallResult;
using veltrano::testhost::Component;
using veltrano::testhost::TestHost;
using veltrano::testhost::Value;

constexpr int DocumentsPerCycle = 4;

const std::string Cashier = "<?xml version=\"1.0\"?>\r\n<InputParameters>\r\n"
                            "<Parameters CashierName=\"Иванов И.И.\" CashierINN=\"\"/>\r\n</InputParameters>";

class TemporaryDataFolder {
public:
    TemporaryDataFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "veltrano-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary folder");
        root_ = pattern;
        // The module computes its paths from these; nothing reaches the user's own folders.
        ::setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
        ::setenv("HOME", (root_ / "home").c_str(), 1);
    }
    ~TemporaryDataFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TemporaryDataFolder(const TemporaryDataFolder&) = delete;
    TemporaryDataFolder& operator=(const TemporaryDataFolder&) = delete;

    const std::filesystem::path& Root() const { return root_; }

private:
    std::filesystem::path root_;
};

// True when the call succeeded; otherwise the benchmark is stopped with the driver's message.
bool Succeeded(benchmark::State& state, Component& driver, const CallResult& call) {
    if (call.Succeeded())
        return true;
    state.SkipWithError(driver.LastError().description.c_str());
    return false;
}

// The test host with one component object connected to the virtual device, the output file on, in a temporary
// data folder.
struct VirtualRegister {
    TemporaryDataFolder folder;
    TestHost host;
    std::unique_ptr<Component> driver = host.Create();
    Value id = Value::Empty();

    // True when the device is connected; otherwise the benchmark is stopped with the reason.
    bool Connect(benchmark::State& state) {
        if (!driver) {
            state.SkipWithError("the module gave no component object");
            return false;
        }
        const std::string settings = "<Parameters><Parameter Name=\"InterfaceType\" Value=\"-1\"/>"
                                     "<Parameter Name=\"LineLength\" Value=\"42\"/>"
                                     "<Parameter Name=\"ShowReceiptForm\" Value=\"1\"/>"
                                     "<Parameter Name=\"ChequeHeader\" Value=\"Учебный ККТ\"/>"
                                     "<Parameter Name=\"Pay1\" Value=\"НАЛИЧНЫМИ\"/>"
                                     "<Parameter Name=\"PrintOutFilePath\" Value=\"" +
                                     (folder.Root() / "receipts.txt").string() + "\"/></Parameters>";
        const CallResult connect =
            driver->Call("ПодключитьОборудование", {Value::Empty(), Value::Empty(), Value::Text(settings)});
        if (!connect.Succeeded()) {
            state.SkipWithError(("connection failed: " + driver->LastError().description).c_str());
            return false;
        }
        id = Value::Text(connect.Out(0));
        return true;
    }
    ~VirtualRegister() {
        if (!id.IsEmpty())
            driver->Call("ОтключитьОборудование", {id});
    }
};

void BM_ShiftCycle(benchmark::State& state) {
    VirtualRegister kkt;
    if (!kkt.Connect(state))
        return;
    Component* driver = kkt.driver.get();
    const Value& id = kkt.id;

    for (auto _ : state) {
        if (!Succeeded(state, *driver,
                       driver->Call("ОткрытьСмену", {id, Value::Text(Cashier), Value::Empty()})) ||
            !Succeeded(state, *driver,
                       driver->Call("НапечататьЧекВнесенияВыемки",
                                    {id, Value::Text(Cashier), Value::Double(1000)})) ||
            !Succeeded(state, *driver,
                       driver->Call("НапечататьОтчетБезГашения", {id, Value::Text(Cashier)})) ||
            !Succeeded(state, *driver,
                       driver->Call("ЗакрытьСмену", {id, Value::Text(Cashier), Value::Empty()})))
            break;
    }
    state.counters["documents"] = benchmark::Counter(
        static_cast<double>(state.iterations() * DocumentsPerCycle), benchmark::Counter::kIsRate);
}

// Wall time: the storage is flushed to disk at every save, which the processor time does not see.
BENCHMARK(BM_ShiftCycle)->Unit(benchmark::kMillisecond)->UseRealTime();

// A shift opened and closed by a cashier whose name has the given number of characters: the name is laid out
// into lines of the receipt width, which must take time in proportion to its length.
void BM_ShiftWithALongCashierName(benchmark::State& state) {
    VirtualRegister kkt;
    if (!kkt.Connect(state))
        return;
    Component* driver = kkt.driver.get();
    const Value& id = kkt.id;
    std::string name;
    for (std::int64_t i = 0; i < state.range(0); ++i)
        name += "Ж";
    const std::string cashier =
        "<InputParameters><Parameters CashierName=\"" + name + "\"/></InputParameters>";
    for (auto _ : state) {
        if (!Succeeded(state, *driver,
                       driver->Call("ОткрытьСмену", {id, Value::Text(cashier), Value::Empty()})) ||
            !Succeeded(state, *driver,
                       driver->Call("ЗакрытьСмену", {id, Value::Text(cashier), Value::Empty()})))
            break;
    }
}
BENCHMARK(BM_ShiftWithALongCashierName)
    ->Arg(32 << 10)
    ->Arg(128 << 10)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

// Receipts per second through the host boundary: the built add-in loaded by the test host, a virtual device
// with the output file on, and a sale of ten positions at three VAT rates per iteration. Beside it, the floor
// every receipt stands on: one durable replacement of a storage file of the same size in the same folder
// (write, flush, rename, flush of the folder). The run ends with the receipt's cost in floors. The data
// folder is a fresh temporary one.
#include "platform/platform.h"
#include "testhost.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using veltrano::testhost::CallResult;
using veltrano::testhost::Component;
using veltrano::testhost::TestHost;
using veltrano::testhost::Value;

std::string SalePackage() {
    const char* rates[] = {"20", "10", "none"};
    std::string positions;
    for (int i = 0; i < 10; ++i) {
        positions += "<FiscalString Name=\"Товар " + std::to_string(i + 1) +
                     "\" Quantity=\"2\" PriceWithDiscount=\"50.25\" AmountWithDiscount=\"100.50\" "
                     "DiscountAmount=\"1.5\" Department=\"1\" VATRate=\"" +
                     rates[i % 3] + "\" CalculationSubject=\"1\" PaymentMethod=\"4\"/>";
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><CheckPackage><Parameters CashierName=\"Иванов И.И.\" "
           "OperationType=\"1\" TaxationSystem=\"0\" CustomerPhone=\"+79000000000\"/><Positions>" +
           positions + "</Positions><Payments Cash=\"1100\" ElectronicPayment=\"0\"/></CheckPackage>";
}

void Require(const CallResult& result, Component& driver, const char* step) {
    if (!result.Succeeded())
        throw std::runtime_error(std::string(step) + ": " + driver.LastError().description);
}

// The schema's defaults with the output file in the data folder and the preview off. The values stay as the
// schema escapes them, so they go back into the settings unchanged.
std::string Settings(Component& driver, const std::filesystem::path& outputFile) {
    const CallResult schema = driver.Call("ПараметрыОборудования", {Value::Text(""), Value::Empty()});
    Require(schema, driver, "ПараметрыОборудования");
    static const std::regex parameter(R"re(<Parameter\s[^>]*?Name="([^"]*)"[^>]*?DefaultValue="([^"]*)")re");
    std::string settings = "<?xml version=\"1.0\"?><Parameters>";
    const std::string& text = schema.Out(1);
    for (std::sregex_iterator found(text.begin(), text.end(), parameter), end; found != end; ++found) {
        const std::string name = (*found)[1];
        std::string value = (*found)[2];
        if (name == "PrintOutFilePath")
            value = outputFile.string();
        else if (name == "ShowReceiptForm")
            value = "1";
        settings += "<Parameter Name=\"" + name + "\" Value=\"" + value + "\"/>";
    }
    return settings + "</Parameters>";
}

// The run's temporary folder: the data folder of the receipts and the floor's folder.
const std::filesystem::path& BenchFolder() {
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "veltrano-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("no temporary folder");
        return std::filesystem::path(pattern);
    }();
    return folder;
}

// The storage folder of the last run of the receipts.
std::filesystem::path storageFolder;

void BM_SaleOfTenPositionsAtThreeRates(benchmark::State& state) {
    // Each run starts on a new storage: the benchmark library may run this more than once.
    static int runs = 0;
    const std::filesystem::path folder = BenchFolder() / std::to_string(++runs);
    storageFolder = folder / "data" / "Korvena" / "Veltrano";
    // The data folder is chosen before the module computes any path.
    ::setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    ::setenv("HOME", (folder / "home").c_str(), 1);
    {
        TestHost host;
        std::unique_ptr<Component> driver = host.Create();
        const CallResult connect =
            driver->Call("ПодключитьОборудование", {Value::Empty(), Value::Empty(),
                                                    Value::Text(Settings(*driver, folder / "receipts.txt"))});
        Require(connect, *driver, "ПодключитьОборудование");
        const std::string id = connect.Out(0);
        const std::string cashier = "<?xml version=\"1.0\"?><InputParameters><Parameters "
                                    "CashierName=\"Иванов И.И.\"/></InputParameters>";
        Require(driver->Call("ОткрытьСмену", {Value::Text(id), Value::Text(cashier), Value::Empty()}),
                *driver, "ОткрытьСмену");
        Require(driver->Call("НапечататьЧекВнесенияВыемки",
                             {Value::Text(id), Value::Text(cashier), Value::Double(1'000'000)}),
                *driver, "НапечататьЧекВнесенияВыемки");

        const std::string package = SalePackage();
        for (auto _ : state) {
            const CallResult receipt =
                driver->Call("СформироватьЧек",
                             {Value::Text(id), Value::Bool(false), Value::Text(package), Value::Empty()});
            if (!receipt.Succeeded()) {
                state.SkipWithError(driver->LastError().description.c_str());
                break;
            }
        }
        state.SetItemsProcessed(state.iterations());
        driver.reset();
    }
}

// The storage file the receipts left, written again and again beside it.
void BM_DurableSaveOfTheStorageFile(benchmark::State& state) {
    std::ifstream in(storageFolder / "DataFN.xml", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.empty()) {
        state.SkipWithError("no storage file: run the receipts first");
        return;
    }
    const std::filesystem::path file = storageFolder / "floor" / "DataFN.xml";
    veltrano::platform::EnsureFolder(file.parent_path());
    for (auto _ : state)
        veltrano::platform::WriteFileAtomically(file, bytes);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

// Remembers each benchmark's wall-clock time per iteration for the closing ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                realMicroseconds[run.run_name.function_name] =
                    run.real_accumulated_time * 1e6 / static_cast<double>(run.iterations);
    }
    std::map<std::string, double> realMicroseconds;
};

} // namespace

// Wall-clock time: every receipt saves the storage file durably, so the disk takes part.
BENCHMARK(BM_SaleOfTenPositionsAtThreeRates)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_DurableSaveOfTheStorageFile)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto receipt = reporter.realMicroseconds.find("BM_SaleOfTenPositionsAtThreeRates");
    const auto floor = reporter.realMicroseconds.find("BM_DurableSaveOfTheStorageFile");
    if (receipt != reporter.realMicroseconds.end() && floor != reporter.realMicroseconds.end() &&
        floor->second > 0)
        std::printf("A receipt costs %.2f durable saves of its storage file (%.0f us against %.0f us).\n",
                    receipt->second / floor->second, receipt->second, floor->second);
    std::error_code ignored;
    std::filesystem::remove_all(BenchFolder(), ignored);
    return 0;
}

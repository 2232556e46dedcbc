// Receipts per second through the host boundary: the built add-in loaded by the test host, a virtual device
// with the output file on, and a sale of ten positions at three VAT rates per iteration. The data folder is a
// fresh temporary one.
#include "testhost.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>

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

void BM_SaleOfTenPositionsAtThreeRates(benchmark::State& state) {
    std::string pattern = (std::filesystem::temp_directory_path() / "veltrano-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::filesystem::path folder = pattern;
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
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

} // namespace

// Wall-clock time: every receipt saves the storage file durably, so the disk takes part.
BENCHMARK(BM_SaleOfTenPositionsAtThreeRates)->Unit(benchmark::kMicrosecond)->UseRealTime();

BENCHMARK_MAIN();

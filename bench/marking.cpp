// Marking code checks through the host boundary: per iteration one session on a virtual device that checks,
// answers and confirms a number of codes and sells them in one receipt. The largest case fills a session to
// its bound of 10000 requests, where each request looks the session through for a repeated GUID.
#include "testhost.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
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

void Require(const CallResult& result, Component& driver, const char* step) {
    if (!result.Succeeded())
        throw std::runtime_error(std::string(step) + ": " + driver.LastError().description);
}

// The schema's defaults with the output file in the data folder and the preview off.
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

std::string Base64(const std::string& bytes) {
    static const char* const alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 3; ++j)
            group = (group << 8) | (j < n ? static_cast<unsigned char>(bytes[i + j]) : 0u);
        for (std::size_t j = 0; j < 4; ++j)
            text += j <= n ? alphabet[(group >> (18 - 6 * j)) & 0x3F] : '=';
    }
    return text;
}

// A shoe code with a 13-character serial of the number and the crypto tail, group separators left out.
std::string Code(int number) {
    std::string serial = std::to_string(number);
    serial.insert(0, 13 - serial.size(), 'S');
    return Base64("0104601234567893"
                  "21" +
                  serial + "91EE0692dGVzdGNyeXB0b3RhaWxmb3JtYXJraW5nY29kZXNhYmNk");
}

void BM_SessionCheckingAndSellingCodes(benchmark::State& state) {
    std::string pattern = (std::filesystem::temp_directory_path() / "veltrano-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::filesystem::path folder = pattern;
    ::setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    ::setenv("HOME", (folder / "home").c_str(), 1);
    {
        TestHost host;
        std::unique_ptr<Component> driver = host.Create();
        const CallResult connect =
            driver->Call("ПодключитьОборудование", {Value::Empty(), Value::Empty(),
                                                    Value::Text(Settings(*driver, folder / "receipts.txt"))});
        Require(connect, *driver, "ПодключитьОборудование");
        const Value id = Value::Text(connect.Out(0));
        Require(driver->Call("ОткрытьСмену", {id, Value::Text("<InputParameters/>"), Value::Empty()}),
                *driver, "ОткрытьСмену");

        const int codes = static_cast<int>(state.range(0));
        std::vector<std::string> requests;
        std::string positions;
        for (int i = 0; i < codes; ++i) {
            requests.push_back("<RequestKM GUID=\"" + std::to_string(i) + "\" MarkingCode=\"" + Code(i) +
                               "\" PlannedStatus=\"1\"/>");
            positions += "<FiscalString Name=\"Туфли\" Quantity=\"1\" PriceWithDiscount=\"122\" "
                         "AmountWithDiscount=\"122\" VATRate=\"22\" MarkingCode=\"" +
                         Code(i) + "\"/>";
        }
        const std::string sale = "<CheckPackage><Parameters OperationType=\"1\"/><Positions>" + positions +
                                 "</Positions><Payments ElectronicPayment=\"" + std::to_string(122 * codes) +
                                 "\"/></CheckPackage>";
        for (auto _ : state) {
            Require(driver->Call("ОткрытьСессиюРегистрацииКМ", {id}), *driver, "ОткрытьСессиюРегистрацииКМ");
            for (int i = 0; i < codes; ++i) {
                Require(driver->Call("ЗапросКМ", {id, Value::Text(requests[i]), Value::Empty()}), *driver,
                        "ЗапросКМ");
                Require(driver->Call("ПолучитьРезультатыЗапросаКМ", {id, Value::Empty(), Value::Empty()}),
                        *driver, "ПолучитьРезультатыЗапросаКМ");
                Require(driver->Call("ПодтвердитьКМ", {id, Value::Text(std::to_string(i)), Value::Int(0)}),
                        *driver, "ПодтвердитьКМ");
            }
            Require(
                driver->Call("СформироватьЧек", {id, Value::Bool(false), Value::Text(sale), Value::Empty()}),
                *driver, "СформироватьЧек");
            Require(driver->Call("ЗакрытьСессиюРегистрацииКМ", {id}), *driver, "ЗакрытьСессиюРегистрацииКМ");
        }
        state.SetItemsProcessed(state.iterations() * codes);
        driver.reset();
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

} // namespace

BENCHMARK(BM_SessionCheckingAndSellingCodes)
    ->Arg(10)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();

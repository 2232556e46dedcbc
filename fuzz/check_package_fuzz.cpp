// Feeds arbitrary bytes to the receipt path the way the host adapter does: the text is sanitised and parsed
// as XML, then ProcessCheck reads, checks, lays out, counts and finishes the receipt on a training cash
// register whose storage lives in a temporary folder. Every input starts from the same storage: a shift
// opened with cash in the drawer.
#include "common/money.h"
#include "common/text.h"
#include "driver/xml_text.h"
#include "kkt/device_instance.h"
#include "kkt/operations/receipt_operation.h"
#include "kkt/operations/shift_operations.h"
#include "output/output_device.h"

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

namespace {

using namespace veltrano;

class TrainingRegister {
public:
    TrainingRegister() {
        std::string pattern = (std::filesystem::temp_directory_path() / "veltrano-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        folder_ = pattern;
        // Nothing may reach the user's own data folders.
        ::setenv("XDG_DATA_HOME", (folder_ / "data").c_str(), 1);
        ::setenv("HOME", (folder_ / "home").c_str(), 1);
        storageFile_ = folder_ / "DataFN.xml";

        instance_.InterfaceType = -1;
        instance_.ChequeHeader = "Учебный ККТ";
        const char* payments[] = {"НАЛИЧНЫМИ", "БЕЗНАЛИЧНЫМИ", "АВАНС", "КРЕДИТ", "ИНАЯ ФОРМА ОПЛАТЫ"};
        for (int type = 0; type < 5; ++type)
            instance_.Pay[type] = payments[type];
        instance_.LineLength = 42;
        instance_.ShowReceiptForm = 1;
        instance_.Attach(std::make_unique<kkt::FiscalStorage>(storageFile_),
                         std::make_unique<output::OutputDevice>());
        // No output file: it would grow with every input.
        instance_.Device().Init("", 42);
        instance_.Device().ShowReceiptForm = 1;

        pugi::xml_document cashier;
        cashier.append_child("InputParameters").append_child("Parameters").append_attribute("CashierName") =
            "Фаззер";
        pugi::xml_document output;
        kkt::OpenShift(instance_, cashier, output);
        kkt::CashInOutcome(instance_, Money::FromWhole(1'000'000));
        std::ifstream in(storageFile_, std::ios::binary);
        pristineStorage_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    ~TrainingRegister() {
        instance_.Attach(nullptr, nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    void Receipt(std::string_view packageText, bool fiscalSigns, bool electronically) {
        {
            std::ofstream out(storageFile_, std::ios::binary | std::ios::trunc);
            out << pristineStorage_;
        }
        instance_.PrintFiscalSigns = fiscalSigns;
        try {
            pugi::xml_document package;
            driver::ParseXmlText(package, text::Utf8ToUtf16(packageText));
            pugi::xml_document output;
            kkt::ProcessCheck(instance_, electronically, package, output);
        } catch (const std::exception&) {
            // Refusals are expected; only crashes and sanitizer findings count.
        }
    }

private:
    std::filesystem::path folder_;
    std::filesystem::path storageFile_;
    std::string pristineStorage_;
    kkt::DeviceInstance instance_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static TrainingRegister trainingRegister;
    // The first byte picks the settings; the rest is the package text.
    if (size == 0)
        return 0;
    const std::string_view packageText(reinterpret_cast<const char*>(data + 1), size - 1);
    trainingRegister.Receipt(packageText, (data[0] & 1) != 0, (data[0] & 2) != 0);
    return 0;
}

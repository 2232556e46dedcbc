#include "training_register.h"

#include "common/money.h"
#include "common/text.h"
#include "common/xml.h"
#include "driver/xml_text.h"
#include "kkt/operations/registration.h"
#include "output/output_device.h"
#include "output/picture/graphic_text.h"
#include "output/printer_port.h"
#include "output/receipt_preview.h"

#include <sanitizer/lsan_interface.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace veltrano::fuzz {
namespace {

// A missing file reads as empty.
std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

void WriteAll(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

// A printer that is always there: what a document would send to paper is encoded and dropped.
class PaperSink : public output::IPrinterPort {
public:
    void Open() override {}
    void Write(std::string_view) override {}
    void Close() noexcept override {}
    const output::PrinterPortSettings& Settings() const override { return settings_; }

private:
    output::PrinterPortSettings settings_{output::LanPortSettings{"paper", 0}};
};

void SetParameter(pugi::xml_node parameters, const std::string& name, const std::string& value) {
    for (pugi::xml_node parameter : parameters.children("Parameter"))
        if (name == parameter.attribute("Name").value()) {
            parameter.attribute("Value").set_value(value.c_str());
            return;
        }
    pugi::xml_node parameter = parameters.append_child("Parameter");
    parameter.append_attribute("Name") = name.c_str();
    parameter.append_attribute("Value") = value.c_str();
}

// How many fixtures this process made: each has a folder of its own in the sandbox.
int registers = 0;

// The process's temporary folder, removed at exit.
struct Sandbox {
    Sandbox() {
        std::string pattern = (std::filesystem::temp_directory_path() / "veltrano-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        Folder = pattern;
        // Nothing may reach the user's own folders: not the data folder, not fontconfig's configuration and
        // cache.
        ::setenv("XDG_DATA_HOME", (Folder / "data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (Folder / "config").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (Folder / "cache").c_str(), 1);
        ::setenv("HOME", (Folder / "home").c_str(), 1);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
    }
    ~Sandbox() {
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }
    std::filesystem::path Folder;
};

} // namespace

const std::filesystem::path& SandboxFolder() {
    static const Sandbox sandbox;
    return sandbox.Folder;
}

void ParseHostXml(pugi::xml_document& doc, std::string_view utf8) {
    driver::ParseXmlText(doc, text::Utf8ToUtf16(utf8));
}

std::string CashierInput(std::string_view name) {
    pugi::xml_document input;
    input.append_child("InputParameters").append_child("Parameters").append_attribute("CashierName") =
        std::string(name).c_str();
    std::ostringstream out;
    input.save(out, "", pugi::format_raw);
    return out.str();
}

TrainingRegister::TrainingRegister(const Settings& overrides) {
    // The shared preview every output device destroys with itself is made first, so that it outlives a
    // fixture kept in a static.
    (void)output::ReceiptPreview();
    folder_ = SandboxFolder() / ("register-" + std::to_string(++registers));
    std::filesystem::create_directories(folder_);
    outputFile_ = folder_ / "receipts.txt";

    // The schema's default values, as a host's settings form starts from them.
    pugi::xml_document schema;
    ParseHostXml(schema, driver_.BuildSettingsXml());
    pugi::xml_node parameters = settings_.append_child("Parameters");
    for (const pugi::xpath_node found : schema.select_nodes("//Parameter"))
        SetParameter(parameters, found.node().attribute("Name").value(),
                     found.node().attribute("DefaultValue").value());
    const Settings own{
        {"InterfaceType", "-1"},
        {"PrintOutFilePath", outputFile_.string()},
        {"ShowReceiptForm", "1"},
        {"LineLength", "42"},
        {"ChequeHeader", "Учебный ККТ"},
        {"Pay1", "НАЛИЧНЫМИ"},
        {"Pay2", "БЕЗНАЛИЧНЫМИ"},
        {"Pay3", "АВАНС"},
        {"Pay4", "КРЕДИТ"},
        {"Pay5", "ИНАЯ ФОРМА ОПЛАТЫ"},
        {"CutString", "[отрезка]"},
        {"GTFontName1", "DejaVu Sans"},
        {"GTFontSize1", "14"},
        {"GTIsBold1", "true"},
        {"LogEnabled", "false"},
    };
    for (const auto& [name, value] : own)
        SetParameter(parameters, name, value);
    for (const auto& [name, value] : overrides)
        SetParameter(parameters, name, value);
    Connect();
    newStorage_ = StorageBytes();
}

TrainingRegister::~TrainingRegister() {
    Disconnect();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void TrainingRegister::Connect() {
    driver_.ConnectEquipment(settings_);
    deviceId_ = driver_.DeviceId();
    storageFile_ = Instance().Storage().FileName();
}

void TrainingRegister::Disconnect() {
    if (!deviceId_.empty())
        driver_.DisconnectEquipment(deviceId_);
    deviceId_.clear();
}

void TrainingRegister::Reconnect() {
    Disconnect();
    Connect();
}

void TrainingRegister::ReloadStorage() {
    kkt::DeviceInstance& instance = Instance();
    instance.Attach(std::make_unique<kkt::FiscalStorage>(storageFile_),
                    std::make_unique<output::OutputDevice>());
    instance.Device().Init(instance.PrintOutFilePath, static_cast<int>(instance.LineLength));
    instance.Device().ShowReceiptForm = static_cast<int>(instance.ShowReceiptForm);
}

void TrainingRegister::Select(const std::string& deviceId) {
    driver_.SelectInstance(deviceId);
}

void TrainingRegister::UsePaper(bool paper) {
    Instance().SetPrinterPort(paper ? std::make_unique<PaperSink>() : nullptr);
}

std::string TrainingRegister::StorageBytes() const {
    return ReadAll(StorageFile());
}

std::string TrainingRegister::OutputBytes() const {
    return ReadAll(outputFile_);
}

const std::string& TrainingRegister::KnownStorage() {
    if (!storageKnown_)
        storageKnown_ = StorageBytes();
    return *storageKnown_;
}

const std::string& TrainingRegister::KnownOutput() {
    if (!outputKnown_)
        outputKnown_ = OutputBytes();
    return *outputKnown_;
}

void TrainingRegister::Restore(const std::string& storageBytes) {
    WriteAll(StorageFile(), storageBytes);
    WriteAll(outputFile_, EarlierOutput);
    storageKnown_ = storageBytes;
    outputKnown_ = std::string(EarlierOutput);
    if (driver_.Current() != nullptr)
        driver_.Current()->Marking().Close();
}

std::string TrainingRegister::NewStorageState() {
    Restore(newStorage_);
    return newStorage_;
}

std::string TrainingRegister::OpenShiftState() {
    Restore(newStorage_);
    const auto must = [](bool done, const char* step) {
        if (!done) {
            std::fprintf(stderr, "fixture step failed: %s\n", step);
            std::abort();
        }
    };
    pugi::xml_document input;
    pugi::xml_document output;
    must(Attempt("registration",
                 [&] {
                     ParseHostXml(input, R"(<Parameters CashierName="Фаззер" INN="7700000000" )"
                                         R"(KKTNumber="0000000001" CompanyName="ООО Учебная" )"
                                         R"(SaleAddress="Москва" TaxationSystems="0,1" AgentTypes="0,4"/>)");
                     driver_.OperationFN(kkt::OperationRegistration, input);
                 }),
         "registration");
    must(Attempt("open shift",
                 [&] {
                     ParseHostXml(input, CashierInput("Фаззер"));
                     driver_.OpenShift(input, output);
                 }),
         "open shift");
    must(Attempt("cash in", [&] { driver_.CashInOutcome(input, Money::FromWhole(1'000'000)); }), "cash in");
    must(Attempt("sale",
                 [&] {
                     ParseHostXml(input,
                                  R"(<CheckPackage><Parameters CashierName="Фаззер" OperationType="1" )"
                                  R"(TaxationSystem="0"/><Positions><FiscalString Name="Хлеб" )"
                                  R"(Quantity="2" PriceWithDiscount="50" AmountWithDiscount="100" )"
                                  R"(VATRate="10"/></Positions><Payments Cash="100"/></CheckPackage>)");
                     output.reset();
                     driver_.ProcessCheck(false, input, output, false);
                 }),
         "sale");
    return StorageBytes();
}

std::string TrainingRegister::ClosedShiftState() {
    OpenShiftState();
    pugi::xml_document input;
    pugi::xml_document output;
    if (!Attempt("close shift", [&] {
            ParseHostXml(input, CashierInput("Фаззер"));
            driver_.CloseShift(input, output);
        }))
        std::abort();
    return StorageBytes();
}

std::string TrainingRegister::ExpiredShiftState() {
    pugi::xml_document storage;
    const std::string open = OpenShiftState();
    xml::Parse(storage, open);
    storage.child("DataFN").child("DayStart").attribute("Value").set_value("86400");
    const std::string expired = xml::ToText(storage);
    Restore(expired);
    return expired;
}

void TrainingRegister::CheckUnchanged(std::string_view what, std::string_view error,
                                      const std::string& storageBefore, const std::string& outputBefore) {
    const bool storageKept = StorageBytes() == storageBefore;
    const bool outputKept = OutputBytes() == outputBefore;
    if (storageKept && outputKept)
        return;
    std::fprintf(stderr, "\n%.*s was refused (%.*s) but changed %s%s%s\n", static_cast<int>(what.size()),
                 what.data(), static_cast<int>(error.size()), error.data(),
                 storageKept ? "" : "the storage file", !storageKept && !outputKept ? " and " : "",
                 outputKept ? "" : "the output file");
    std::abort();
}

} // namespace veltrano::fuzz

// Before the first input: the sandbox, and fontconfig's configuration loaded once for the process (the font
// cache keeps it). fontconfig loses a few bytes of its own while it parses its configuration; that load alone
// is hidden from the leak checker, everything fontconfig allocates for a document later still counts.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)veltrano::fuzz::SandboxFolder();
    __lsan_disable();
    (void)veltrano::output::GetGraphicText("Veltrano", 48.0, 12, "DejaVu Sans", "", "", "");
    __lsan_enable();
    return 0;
}

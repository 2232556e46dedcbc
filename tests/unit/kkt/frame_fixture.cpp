#include "frame_fixture.h"

#include "common/text.h"
#include "kkt/frame/document_clock.h"
#include "kkt/storage/fiscal_storage.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace veltrano::kkt::testing {
namespace {

constexpr moment::DateTime FixedNow{2024, 5, 1, 13, 45, 7, 0};

moment::DateTime FixedClock() {
    return FixedNow;
}

std::optional<std::string> Environment(const char* name) {
    if (const char* value = std::getenv(name))
        return std::string(value);
    return std::nullopt;
}

void RestoreEnvironment(const char* name, const std::optional<std::string>& value) {
    if (value)
        ::setenv(name, value->c_str(), 1);
    else
        ::unsetenv(name);
}

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

moment::DateTime TestNow() {
    return FixedNow;
}

moment::Moment TestMoment() {
    return moment::ToMoment(FixedNow);
}

void KktInstanceTest::SetUp() {
    // The data folders point into the temporary folder before anything computes a path.
    char pattern[] = "/tmp/veltrano-frame-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root = pattern;
    savedXdg_ = Environment("XDG_DATA_HOME");
    savedHome_ = Environment("HOME");
    ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    ::setenv("HOME", (root / "home").c_str(), 1);
    storageFile = root / "DataFN.xml";
    outputFile = root / "out" / "receipts.txt";
    SetDocumentClock(&FixedClock);

    instance_ = std::make_unique<DeviceInstance>();
    DeviceInstance& instance = *instance_;
    instance.InterfaceType = -1;
    instance.ChequeHeader = "Учебный ККТ";
    instance.Pay[0] = "НАЛИЧНЫМИ";
    instance.Pay[1] = "БЕЗНАЛИЧНЫМИ";
    instance.Pay[2] = "АВАНС";
    instance.Pay[3] = "КРЕДИТ";
    instance.Pay[4] = "ИНАЯ ФОРМА ОПЛАТЫ";
    instance.LineLength = TestLineLength;
    instance.PrintOutFilePath = outputFile.string();
    instance.ShowReceiptForm = 1;
    instance.Attach(std::make_unique<FiscalStorage>(storageFile), std::make_unique<output::OutputDevice>());
    instance.Device().Init(instance.PrintOutFilePath, TestLineLength);
    instance.Device().ShowReceiptForm = 1;
}

void KktInstanceTest::TearDown() {
    instance_.reset();
    SetDocumentClock(nullptr);
    RestoreEnvironment("XDG_DATA_HOME", savedXdg_);
    RestoreEnvironment("HOME", savedHome_);
    std::filesystem::remove_all(root);
}

std::string KktInstanceTest::StoredValue(std::string_view field) const {
    const FiscalStorage file(storageFile);
    return text::Trim(file.GetValue(field));
}

void KktInstanceTest::EditStorage(const std::vector<std::pair<std::string, std::string>>& values) const {
    FiscalStorage file(storageFile);
    for (const auto& [field, value] : values)
        file.SetValue(field, std::string_view(value));
    file.Save();
}

std::string KktInstanceTest::StorageBytes() const {
    return ReadBytes(storageFile);
}

std::string KktInstanceTest::OutputBytes() const {
    return ReadBytes(outputFile);
}

std::vector<std::string> KktInstanceTest::NewOutputLines() {
    const std::string bytes = OutputBytes();
    std::vector<std::string> lines;
    std::size_t from = outputSeen_;
    while (from < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", from);
        if (end == std::string::npos) {
            ADD_FAILURE() << "a line without CR LF: " << bytes.substr(from);
            break;
        }
        lines.push_back(bytes.substr(from, end - from));
        from = end + 2;
    }
    outputSeen_ = bytes.size();
    return lines;
}

pugi::xml_document CashierInput(std::string_view name, std::string_view inn) {
    pugi::xml_document doc;
    pugi::xml_node parameters = doc.append_child("InputParameters").append_child("Parameters");
    parameters.append_attribute("CashierName").set_value(std::string(name).c_str());
    parameters.append_attribute("CashierINN").set_value(std::string(inn).c_str());
    return doc;
}

pugi::xml_document EmptyOutput() {
    pugi::xml_document doc;
    doc.append_child(pugi::node_declaration).append_attribute("version") = "1.0";
    return doc;
}

std::string Compact(const pugi::xml_document& doc) {
    std::ostringstream text;
    for (pugi::xml_node node : doc.children())
        if (node.type() != pugi::node_declaration)
            node.print(text, "", pugi::format_raw, pugi::encoding_utf8);
    return text.str();
}

std::string Line(std::string_view left, std::string_view right) {
    const std::size_t used = text::Length(left) + text::Length(right);
    EXPECT_LE(used, static_cast<std::size_t>(TestLineLength)) << left << right;
    return std::string(left) + std::string(TestLineLength - used, ' ') + std::string(right);
}

std::string Centered(std::string_view text) {
    const std::size_t spare = TestLineLength - text::Length(text);
    return std::string(spare / 2, ' ') + std::string(text) + std::string(spare - spare / 2, ' ');
}

std::string BlankLine() {
    return std::string(TestLineLength, ' ');
}

std::string RuleLine() {
    return std::string(TestLineLength, '=');
}

std::vector<std::string> MaskFiscalSign(std::vector<std::string> lines) {
    constexpr std::string_view Label = "ФП:";
    constexpr std::size_t Digits = 10;
    for (std::string& line : lines) {
        const std::size_t at = line.rfind(Label);
        if (at == std::string::npos || line.size() != at + Label.size() + Digits)
            continue;
        const std::string sign = line.substr(at + Label.size());
        EXPECT_EQ(sign.find_first_not_of("0123456789"), std::string::npos) << line;
        EXPECT_LT(std::stoll(sign), 999999999) << line;
        line.replace(at + Label.size(), Digits, Digits, '#');
    }
    return lines;
}

} // namespace veltrano::kkt::testing

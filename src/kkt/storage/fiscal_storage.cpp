#include "kkt/storage/fiscal_storage.h"

#include "common/text.h"
#include "common/xml.h"
#include "kkt/storage/fiscal_storage_fields.h"
#include "log/log.h"
#include "platform/platform.h"

#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace veltrano::kkt {
namespace {

constexpr const char* RootName = "DataFN";
constexpr const char* StorageFileName = "DataFN.xml";

// The first element child of a node with exactly this name (processing instructions carry names too).
pugi::xml_node ElementChild(pugi::xml_node parent, std::string_view name) {
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element && name == child.name())
            return child;
    return {};
}

bool FileExists(const fs::path& file) {
    std::error_code error;
    const bool exists = fs::exists(file, error);
    if (error)
        throw std::runtime_error("Нет доступа к файлу ФН " + file.string() + ": " + error.message());
    return exists;
}

void WriteValue(pugi::xml_node node, std::string_view text) {
    pugi::xml_attribute value = node.attribute("Value");
    if (!value)
        value = node.prepend_attribute("Value");
    value.set_value(std::string(text).c_str());
}

} // namespace

FiscalStorage::FiscalStorage(const fs::path& fileName) : FiscalStorage(fileName, fs::path()) {}

FiscalStorage::FiscalStorage(const fs::path& fileName, fs::path fallbackFolder)
    : file_(fileName.empty() ? DefaultFileName() : fileName), fallbackFolder_(std::move(fallbackFolder)) {
    xml::InitDocument(document_);
    if (!FileExists(file_)) {
        CreateDefaultDocument();
        return;
    }
    // A file that cannot be read proves no damage: that failure goes to the caller and the file stays.
    const std::string text = platform::ReadFile(file_);
    try {
        // A well-formed document of another kind is kept as it is: field access reports what it lacks.
        xml::Parse(document_, text);
    } catch (const std::exception& error) {
        // A damaged storage found at the start is replaced by a new one without troubling the user.
        log::WriteLog("Файл ФН " + file_.string() + " заменён новым", error.what(), log::Level::Error);
        std::error_code ignored;
        fs::remove(file_, ignored);
        xml::InitDocument(document_);
        CreateDefaultDocument();
    }
}

fs::path FiscalStorage::DefaultFileName() {
    return platform::CommonAppDataFolder() / "Korvena" / "Veltrano" / StorageFileName;
}

void FiscalStorage::CreateDefaultDocument() {
    pugi::xml_node root = document_.append_child(RootName);
    for (const FNField& field : DefaultFNFields()) {
        pugi::xml_node node = root.append_child(field.Name.c_str());
        node.append_attribute("Value") = field.Value.c_str();
        node.append_attribute("TypeValue") = field.TypeValue.c_str();
    }
    // The storage lives on in memory when it cannot be written now; the save at the end of an operation
    // retries.
    try {
        platform::EnsureFolder(file_.parent_path());
        Save();
    } catch (const std::exception& error) {
        log::WriteLog("Не удалось создать файл ФН " + file_.string(), error.what(), log::Level::Error);
    }
}

void FiscalStorage::Load() {
    if (FileExists(file_)) {
        pugi::xml_document loaded;
        xml::Parse(loaded, platform::ReadFile(file_));
        document_ = std::move(loaded);
        return;
    }
    file_ =
        (fallbackFolder_.empty() ? platform::ModulePath().parent_path() : fallbackFolder_) / StorageFileName;
    xml::InitDocument(document_);
    CreateDefaultDocument();
}

void FiscalStorage::Save() {
    platform::WriteFileAtomically(file_, xml::ToText(document_));
}

pugi::xml_node FiscalStorage::FindField(std::string_view field) const {
    return ElementChild(ElementChild(document_, RootName), field);
}

pugi::xml_node FiscalStorage::RequireField(std::string_view field) const {
    const pugi::xml_node node = FindField(field);
    if (!node)
        throw std::runtime_error("Не найдено поле " + std::string(field) + " в ФН");
    return node;
}

std::string FiscalStorage::GetValue(std::string_view field) const {
    const pugi::xml_node node = RequireField(field);
    std::string value = node.attribute("Value").value();
    // A file written under a regional setting with a decimal comma reads with a point.
    if (std::string_view(node.attribute("TypeValue").value()) == "Number")
        if (const auto comma = value.find(','); comma != std::string::npos)
            value[comma] = '.';
    return value;
}

void FiscalStorage::SetValue(std::string_view field, std::string_view text) {
    WriteValue(RequireField(field), text);
}

void FiscalStorage::SetValue(std::string_view field, std::int64_t number) {
    SetValue(field, std::to_string(number));
}

void FiscalStorage::SetValue(std::string_view field, Money amount) {
    SetValue(field, amount.ToStorageText());
}

void FiscalStorage::SetValue(std::string_view field, bool flag) {
    SetValue(field, std::string_view(xml::BoolText(flag)));
}

void FiscalStorage::ClearFN() {
    std::error_code error;
    fs::remove(file_, error);
    if (error)
        throw std::runtime_error("Не удалось удалить файл ФН " + file_.string() + ": " + error.message());
}

void FiscalStorage::ClearFNCounters() {
    std::vector<pugi::xml_node> nodes;
    for (const std::string& name : ShiftCounterFields())
        nodes.push_back(RequireField(name));
    for (pugi::xml_node node : nodes)
        WriteValue(node, "0");
}

std::string FiscalStorage::Value(std::string_view field) const {
    return text::Trim(GetValue(field));
}

} // namespace veltrano::kkt

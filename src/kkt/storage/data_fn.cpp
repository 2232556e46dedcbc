#include "kkt/storage/data_fn.h"

#include "common/xml.h"
#include "driver/log.h"
#include "kkt/storage/data_fn_fields.h"
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

TDataFN::TDataFN(const fs::path& fileName) : TDataFN(fileName, fs::path()) {}

TDataFN::TDataFN(const fs::path& fileName, fs::path fallbackFolder)
    : FDataFNFile(fileName.empty() ? DefaultFileName() : fileName),
      FFallbackFolder(std::move(fallbackFolder)) {
    xml::InitDocument(FDataFNObject);
    if (!FileExists(FDataFNFile)) {
        CreateDefaultDocument();
        return;
    }
    // A file that cannot be read proves no damage: that failure goes to the caller and the file stays.
    const std::string text = platform::ReadFile(FDataFNFile);
    try {
        // A well-formed document of another kind is kept as it is: field access reports what it lacks.
        xml::Parse(FDataFNObject, text);
    } catch (const std::exception& error) {
        // A damaged storage found at the start is replaced by a new one without troubling the user.
        log::WriteLog("Файл ФН " + FDataFNFile.string() + " заменён новым", error.what(), log::Level::Error);
        std::error_code ignored;
        fs::remove(FDataFNFile, ignored);
        xml::InitDocument(FDataFNObject);
        CreateDefaultDocument();
    }
}

fs::path TDataFN::DefaultFileName() {
    return platform::CommonAppDataFolder() / "Korvena" / "Veltrano" / StorageFileName;
}

void TDataFN::CreateDefaultDocument() {
    pugi::xml_node root = FDataFNObject.append_child(RootName);
    for (const TFNField& field : DefaultFNFields()) {
        pugi::xml_node node = root.append_child(field.Name.c_str());
        node.append_attribute("Value") = field.Value.c_str();
        node.append_attribute("TypeValue") = field.TypeValue.c_str();
    }
    // The storage lives on in memory when it cannot be written now; the save at the end of an operation
    // retries.
    try {
        platform::EnsureFolder(FDataFNFile.parent_path());
        SaveXMLDocument();
    } catch (const std::exception& error) {
        log::WriteLog("Не удалось создать файл ФН " + FDataFNFile.string(), error.what(), log::Level::Error);
    }
}

void TDataFN::LoadXMLDocument() {
    if (FileExists(FDataFNFile)) {
        pugi::xml_document loaded;
        xml::Parse(loaded, platform::ReadFile(FDataFNFile));
        FDataFNObject = std::move(loaded);
        return;
    }
    FDataFNFile =
        (FFallbackFolder.empty() ? platform::ModulePath().parent_path() : FFallbackFolder) / StorageFileName;
    xml::InitDocument(FDataFNObject);
    CreateDefaultDocument();
}

void TDataFN::SaveXMLDocument() {
    platform::WriteFileAtomically(FDataFNFile, xml::ToText(FDataFNObject));
}

pugi::xml_node TDataFN::FindField(std::string_view field) const {
    return ElementChild(ElementChild(FDataFNObject, RootName), field);
}

pugi::xml_node TDataFN::RequireField(std::string_view field) const {
    const pugi::xml_node node = FindField(field);
    if (!node)
        throw std::runtime_error("Не найдено поле " + std::string(field) + " в ФН");
    return node;
}

std::string TDataFN::GetValue(std::string_view field) const {
    const pugi::xml_node node = RequireField(field);
    std::string value = node.attribute("Value").value();
    // A file written under a regional setting with a decimal comma reads with a point.
    if (std::string_view(node.attribute("TypeValue").value()) == "Number")
        if (const auto comma = value.find(','); comma != std::string::npos)
            value[comma] = '.';
    return value;
}

void TDataFN::SetValue(std::string_view field, std::string_view text) {
    WriteValue(RequireField(field), text);
}

void TDataFN::SetValue(std::string_view field, std::int64_t number) {
    SetValue(field, std::to_string(number));
}

void TDataFN::SetValue(std::string_view field, Money amount) {
    SetValue(field, amount.ToStorageText());
}

void TDataFN::SetValue(std::string_view field, bool flag) {
    SetValue(field, std::string_view(xml::BoolText(flag)));
}

void TDataFN::ClearFN() {
    std::error_code error;
    fs::remove(FDataFNFile, error);
    if (error)
        throw std::runtime_error("Не удалось удалить файл ФН " + FDataFNFile.string() + ": " +
                                 error.message());
}

void TDataFN::ClearFNCounters() {
    std::vector<pugi::xml_node> nodes;
    for (const std::string& name : ShiftCounterFields())
        nodes.push_back(RequireField(name));
    for (pugi::xml_node node : nodes)
        WriteValue(node, "0");
}

} // namespace veltrano::kkt

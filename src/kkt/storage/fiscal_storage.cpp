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

// Releases the lock on every way out of a step that took it.
class ReleaseAtEnd {
public:
    explicit ReleaseAtEnd(platform::FileLock& lock) : lock_(lock) {}
    ReleaseAtEnd(const ReleaseAtEnd&) = delete;
    ReleaseAtEnd& operator=(const ReleaseAtEnd&) = delete;
    ~ReleaseAtEnd() { lock_.Release(); }

private:
    platform::FileLock& lock_;
};

void WriteValue(pugi::xml_node node, std::string_view text) {
    pugi::xml_attribute value = node.attribute("Value");
    if (!value)
        value = node.prepend_attribute("Value");
    value.set_value(std::string(text).c_str());
}

} // namespace

FiscalStorage::FiscalStorage(const fs::path& fileName)
    : file_(fileName.empty() ? DefaultFileName() : fileName), lock_(LockFileFor(file_)) {
    xml::InitDocument(document_);
    AcquireLock(lock_, file_);
    const ReleaseAtEnd step(lock_);
    ReadOrCreate(true);
}

fs::path FiscalStorage::DefaultFileName() {
    return platform::CommonAppDataFolder() / "Korvena" / "Veltrano" / StorageFileName;
}

fs::path FiscalStorage::LockFileFor(const fs::path& file) {
    fs::path lockFile = file;
    lockFile += ".lock";
    return lockFile;
}

void FiscalStorage::AcquireLock(platform::FileLock& lock, const fs::path& file) {
    if (lock.Held())
        return;
    bool acquired = false;
    try {
        // The lock file lives beside the storage; a folder removed by hand comes back with it.
        platform::EnsureFolder(file.parent_path());
        acquired = lock.Acquire(LockTimeout);
    } catch (const std::exception& error) {
        throw std::runtime_error("Нет доступа к файлу ФН " + file.string() + ": " + error.what());
    }
    if (!acquired)
        throw std::runtime_error("Файл ФН " + file.string() + " занят другой операцией дольше " +
                                 std::to_string(LockTimeout.count() / 1000) + " секунд");
}

FiscalStorage::Hold FiscalStorage::Load() {
    AcquireLock(lock_, file_);
    Hold hold(*this);
    ReadOrCreate(false);
    return hold;
}

// Under the lock. A damaged file is replaced only at the start; found at a reload it fails the operation.
void FiscalStorage::ReadOrCreate(bool replaceDamaged) {
    // Only a crashed save leaves a temporary file: no other writer runs while the lock is held.
    std::error_code ignored;
    fs::remove(platform::TemporaryFileFor(file_), ignored);
    if (!FileExists(file_)) {
        // A storage cleared or deleted by hand starts again where it was: the next connection looks there.
        xml::InitDocument(document_);
        CreateDefaultDocument();
        return;
    }
    // A file that cannot be read proves no damage: that failure goes to the caller and the file stays.
    std::string text = platform::ReadFile(file_);
    if (!changed_ && !knownText_.empty() && text == knownText_)
        return;
    pugi::xml_document parsed;
    try {
        // A well-formed document of another kind is kept as it is: field access reports what it lacks.
        xml::Parse(parsed, text);
    } catch (const std::exception& error) {
        if (!replaceDamaged)
            throw;
        // A damaged storage found at the start is replaced by a new one without troubling the user.
        log::WriteLog("Файл ФН " + file_.string() + " заменён новым", error.what(), log::Level::Error);
        fs::remove(file_, ignored);
        xml::InitDocument(document_);
        CreateDefaultDocument();
        return;
    }
    Adopt(parsed, std::move(text));
}

void FiscalStorage::Adopt(pugi::xml_document& parsed, std::string text) {
    document_ = std::move(parsed);
    knownText_ = std::move(text);
    changed_ = false;
    IndexFields();
}

void FiscalStorage::CreateDefaultDocument() {
    pugi::xml_node root = document_.append_child(RootName);
    for (const FNField& field : DefaultFNFields()) {
        pugi::xml_node node = root.append_child(field.Name.c_str());
        node.append_attribute("Value") = field.Value.c_str();
        node.append_attribute("TypeValue") = field.TypeValue.c_str();
    }
    IndexFields();
    changed_ = true;
    knownText_.clear();
    // The storage lives on in memory when it cannot be written now; the save at the end of an operation
    // retries.
    try {
        Write();
    } catch (const std::exception& error) {
        log::WriteLog("Не удалось создать файл ФН " + file_.string(), error.what(), log::Level::Error);
    }
}

void FiscalStorage::Write() {
    std::string text = xml::ToText(document_);
    try {
        platform::WriteFileAtomically(file_, text);
    } catch (const std::exception& error) {
        throw std::runtime_error("Не удалось сохранить файл ФН " + file_.string() + ": " + error.what());
    }
    knownText_ = std::move(text);
    changed_ = false;
}

void FiscalStorage::Save() {
    AcquireLock(lock_, file_);
    // The hold ends here whatever happens: a failed save leaves changes in memory that the next load drops.
    const ReleaseAtEnd ending(lock_);
    Write();
}

void FiscalStorage::IndexFields() {
    fields_.clear();
    const pugi::xml_node root = ElementChild(document_, RootName);
    for (pugi::xml_node child = root.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element)
            // The first of two fields with one name is the one that counts.
            fields_.emplace(child.name(), child);
}

pugi::xml_node FiscalStorage::FindField(std::string_view field) const {
    const auto found = fields_.find(field);
    return found == fields_.end() ? pugi::xml_node() : found->second;
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
    changed_ = true;
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

void FiscalStorage::ClearFN(const fs::path& fileName) {
    const fs::path file = fileName.empty() ? DefaultFileName() : fileName;
    std::error_code error;
    if (!fs::exists(file, error) && !error)
        return;
    platform::FileLock lock(LockFileFor(file));
    AcquireLock(lock, file);
    fs::remove(file, error);
    if (error)
        throw std::runtime_error("Не удалось удалить файл ФН " + file.string() + ": " + error.message());
}

void FiscalStorage::ClearFNCounters() {
    std::vector<pugi::xml_node> nodes;
    for (const std::string& name : ShiftCounterFields())
        nodes.push_back(RequireField(name));
    for (pugi::xml_node node : nodes)
        WriteValue(node, "0");
    changed_ = true;
}

std::string FiscalStorage::Value(std::string_view field) const {
    return text::Trim(GetValue(field));
}

} // namespace veltrano::kkt

// The emulated fiscal storage: one XML file of named fields (registration data, counters, M and O registers).
#pragma once

#include "common/money.h"
#include "platform/file_lock.h"

#include <pugixml.hpp>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace veltrano::kkt {

class FiscalStorage {
public:
    // How long an operation waits for another process or object to finish with the same file.
    static constexpr std::chrono::milliseconds LockTimeout{10'000};

    // Held by an operation from its reload to its save (or to its end, when it fails or only reads): other
    // processes and other objects on the same file wait. An operation that ends without saving leaves the
    // document in memory to be read again from the file.
    class [[nodiscard]] Hold {
    public:
        explicit Hold(FiscalStorage& storage) : storage_(&storage) {}
        Hold(Hold&& other) noexcept : storage_(std::exchange(other.storage_, nullptr)) {}
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        Hold& operator=(Hold&&) = delete;
        ~Hold() {
            if (storage_ != nullptr)
                storage_->lock_.Release();
        }

    private:
        FiscalStorage* storage_;
    };

    // An empty name gives the default file under the user's data folder. An existing file is loaded; a
    // missing one, or one that is not well-formed XML, is replaced by a new storage with default values.
    // Throws when the file is locked longer than LockTimeout or cannot be read.
    explicit FiscalStorage(const std::filesystem::path& fileName);

    // Takes the lock (waiting up to LockTimeout, then throwing) and reloads the file unless it is exactly
    // what this object last read or wrote. A temporary file left by a crashed save is removed. A missing file
    // starts a new default storage at the same path. A file that cannot be read or is not well-formed throws
    // std::runtime_error with the parser's message; the file and the document in memory are then left as they
    // were.
    Hold Load();
    // Writes the whole file atomically and ends the hold. Throws std::runtime_error naming the file and the
    // system's reason when it cannot (the old file stays intact and the document in memory is read again at
    // the next load). Outside a hold it takes the lock for the write itself.
    void Save();

    // The field's Value as text (numbers with "." as the separator); throws when the field is absent.
    std::string GetValue(std::string_view field) const;
    // The same without surrounding spaces.
    std::string Value(std::string_view field) const;
    // Replaces the field's Value (TypeValue stays as it is); throws when the field is absent, changing
    // nothing. Integers are written as plain decimal digits, amounts in their shortest decimal form, flags as
    // true/false.
    void SetValue(std::string_view field, std::string_view text);
    void SetValue(std::string_view field, const char* text) { SetValue(field, std::string_view(text)); }
    void SetValue(std::string_view field, std::int64_t number);
    void SetValue(std::string_view field, int number) { SetValue(field, static_cast<std::int64_t>(number)); }
    void SetValue(std::string_view field, Money amount);
    void SetValue(std::string_view field, bool flag);

    // Deletes a storage file under its lock (an empty name: the default file); throws when an existing file
    // cannot be deleted. Objects using it start a new storage at their next load.
    static void ClearFN(const std::filesystem::path& fileName);
    // Zeroes the shift counters and registers in memory; does not save. A file lacking one of them throws
    // before anything changes.
    void ClearFNCounters();

    const std::filesystem::path& FileName() const { return file_; }

    // The storage file named by an empty file name: Korvena/Veltrano/DataFN.xml under the user's data folder.
    static std::filesystem::path DefaultFileName();
    // The lock file beside a storage file.
    static std::filesystem::path LockFileFor(const std::filesystem::path& file);

private:
    static void AcquireLock(platform::FileLock& lock, const std::filesystem::path& file);
    void ReadOrCreate(bool replaceDamaged);
    void CreateDefaultDocument();
    void Adopt(pugi::xml_document& parsed, std::string text);
    void Write();
    void IndexFields();
    pugi::xml_node FindField(std::string_view field) const;
    pugi::xml_node RequireField(std::string_view field) const;

    pugi::xml_document document_;
    std::filesystem::path file_;
    platform::FileLock lock_;
    // The file's text as this object last read or wrote it; empty when the document must be read again.
    std::string knownText_;
    bool changed_ = false;
    std::map<std::string, pugi::xml_node, std::less<>> fields_;
};

} // namespace veltrano::kkt

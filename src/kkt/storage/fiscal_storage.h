// The emulated fiscal storage: one XML file of named fields (registration data, counters, M and O registers).
#pragma once

#include "common/money.h"

#include <pugixml.hpp>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace veltrano::kkt {

class FiscalStorage {
public:
    // An empty name gives the default file under the common application-data folder. An existing file is
    // loaded; a missing one, or one that is not well-formed XML, is replaced by a new storage with default
    // values.
    explicit FiscalStorage(const std::filesystem::path& fileName);
    // The same, with the folder that takes a new default storage when the file vanishes between operations
    // (empty: the folder of the add-in module).
    FiscalStorage(const std::filesystem::path& fileName, std::filesystem::path fallbackFolder);

    // Reloads the file. A missing file moves the storage for good to a new default file in the fallback
    // folder. A file that cannot be read or is not well-formed throws std::runtime_error with the parser's
    // message; the file and the document in memory are then left as they were.
    void Load();
    // Writes the whole file atomically; throws std::runtime_error when it cannot (the old file stays intact).
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

    // Deletes the storage file (the document in memory stays); throws when an existing file cannot be
    // deleted.
    void ClearFN();
    // Zeroes the shift counters and registers in memory; does not save. A file lacking one of them throws
    // before anything changes.
    void ClearFNCounters();

    const std::filesystem::path& FileName() const { return file_; }

    // The storage file named by an empty file name: Korvena/Veltrano/DataFN.xml under the common data folder.
    static std::filesystem::path DefaultFileName();

private:
    void CreateDefaultDocument();
    pugi::xml_node FindField(std::string_view field) const;
    pugi::xml_node RequireField(std::string_view field) const;

    pugi::xml_document document_;
    std::filesystem::path file_;
    std::filesystem::path fallbackFolder_;
};

} // namespace veltrano::kkt

// The emulated fiscal storage: one XML file of named fields (registration data, counters, M and O registers).
#pragma once

#include "common/money.h"

#include <pugixml.hpp>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace veltrano::kkt {

class TDataFN {
public:
    // An empty name gives the default file under the common application-data folder.
    explicit TDataFN(const std::filesystem::path& fileName);

    // Reloads the file (a missing file is replaced by a default one next to the module); a file that is not
    // well-formed throws std::runtime_error with the parser's message and is left alone.
    void LoadXMLDocument();
    // Writes the whole file atomically; throws std::runtime_error when it cannot (the old file stays intact).
    void SaveXMLDocument();

    // The field's Value as text (numbers with "." as the separator); throws when the field is absent.
    std::string GetValue(std::string_view field) const;
    // Replaces the field's Value; throws when the field is absent, changing nothing.
    void SetValue(std::string_view field, std::string_view text);
    void SetValue(std::string_view field, const char* text) { SetValue(field, std::string_view(text)); }
    void SetValue(std::string_view field, std::int64_t number);
    void SetValue(std::string_view field, int number) { SetValue(field, static_cast<std::int64_t>(number)); }
    void SetValue(std::string_view field, Money amount);
    void SetValue(std::string_view field, bool flag);

    // Deletes the storage file (the document in memory stays).
    void ClearFN();
    // Zeroes the shift counters and registers in memory; does not save.
    void ClearFNCounters();

    const std::filesystem::path& FileName() const { return FDataFNFile; }

private:
    void CreateDefaultDocument();
    pugi::xml_node FindField(std::string_view field) const;

    pugi::xml_document FDataFNObject;
    std::filesystem::path FDataFNFile;
};

} // namespace veltrano::kkt

// The training cash register every fuzz target works on: a CashRegisterDriver connected the way a host
// connects it (the settings schema's defaults, no printer, documents not shown, the output file and the
// fiscal storage in a temporary folder), the starting states a target restores before each input, and the
// check that a refused call leaves the storage file and the output file byte for byte as they were.
#pragma once

#include "kkt/cash_register_driver.h"

#include <pugixml.hpp>

#include <cstdint>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrano::fuzz {

using Settings = std::vector<std::pair<std::string, std::string>>;

// The process's temporary folder (made on first use, removed at exit); the data, configuration, cache and
// home folders point into it, so nothing reaches the user's own.
const std::filesystem::path& SandboxFolder();

// Parses a host text the way the adapter does: the bytes taken as UTF-8, converted to UTF-16, sanitised and
// parsed; malformed XML throws.
void ParseHostXml(pugi::xml_document& doc, std::string_view utf8);

// "<InputParameters><Parameters CashierName=".."/></InputParameters>", as the platform passes a cashier.
std::string CashierInput(std::string_view name);

class TrainingRegister {
public:
    // Connects with the schema's defaults, then the fixture's own values (InterfaceType -1, the output file,
    // ShowReceiptForm 1, the payment names, a cut string), then the given overrides.
    explicit TrainingRegister(const Settings& overrides = {});
    ~TrainingRegister();
    TrainingRegister(const TrainingRegister&) = delete;
    TrainingRegister& operator=(const TrainingRegister&) = delete;

    kkt::CashRegisterDriver& Driver() { return driver_; }
    kkt::DeviceInstance& Instance() { return driver_.Instance(); }
    const std::string& DeviceId() const { return deviceId_; }
    const std::filesystem::path& Folder() const { return folder_; }
    const std::filesystem::path& OutputFile() const { return outputFile_; }
    // The storage file of the fixture's connection (the default one: no external identifier).
    const std::filesystem::path& StorageFile() const { return storageFile_; }

    // The settings document the fixture connected with, as the host would pass it.
    const pugi::xml_document& ConnectionSettings() const { return settings_; }
    // Disconnects the current instance and connects a new one with the fixture's settings: its storage is
    // constructed on whatever the storage file holds now.
    void Reconnect();
    // Gives the current instance a new storage constructed on whatever the storage file holds now, as a
    // connection constructs it (and a new output device on the fixture's output file), without applying the
    // settings again.
    void ReloadStorage();
    // Disconnects the current instance, if any (the fixture's own connection included).
    void Disconnect();
    // Makes the connection with this identifier current (SelectInstance, as every adapter does).
    void Select(const std::string& deviceId);

    // With paper: gives the current instance a printer that takes every byte and never fails, so that
    // documents go through the ESC/POS encoder as a real printer's would. Without: no printer (InterfaceType
    // -1), documents are not encoded.
    void UsePaper(bool paper);

    // Both files as they are now.
    std::string StorageBytes() const;
    std::string OutputBytes() const;
    // Writes the storage file and gives the output file its starting content; the current instance, if any,
    // gets a fresh marking session.
    void Restore(const std::string& storageBytes);

    // Starting states built by host calls from the storage a first connection creates; each leaves the
    // storage file in that state and returns its bytes. A step that fails aborts: the fixture is broken.
    // Not registered, no shift ever opened.
    std::string NewStorageState();
    // Registered, a shift open with 1 000 000 in the drawer and one sale.
    std::string OpenShiftState();
    // Registered, that shift closed.
    std::string ClosedShiftState();
    // As OpenShiftState, but the shift began more than 24 hours ago.
    std::string ExpiredShiftState();

    // Runs one host call. Returns true when it succeeded; when it throws, both files must still hold what
    // they held before the call, else the process aborts (a fuzzer finding).
    template <typename Call> bool Attempt(std::string_view what, Call&& call) {
        const std::string storageBefore = KnownStorage();
        const std::string outputBefore = KnownOutput();
        try {
            call();
            // The files may have changed: read them again before the next call.
            storageKnown_.reset();
            outputKnown_.reset();
            return true;
        } catch (const std::exception& error) {
            CheckUnchanged(what, error.what(), storageBefore, outputBefore);
        } catch (...) {
            CheckUnchanged(what, "(no std::exception)", storageBefore, outputBefore);
        }
        return false;
    }

    // Aborts with a report when either file differs from what it held.
    void CheckUnchanged(std::string_view what, std::string_view error, const std::string& storageBefore,
                        const std::string& outputBefore);

private:
    void Connect();
    // The files' content as the last call or restore left it, read again only after a call that succeeded.
    const std::string& KnownStorage();
    const std::string& KnownOutput();

    std::filesystem::path folder_;
    std::filesystem::path outputFile_;
    std::filesystem::path storageFile_;
    pugi::xml_document settings_;
    kkt::CashRegisterDriver driver_;
    std::string deviceId_;
    std::string newStorage_;
    std::optional<std::string> storageKnown_;
    std::optional<std::string> outputKnown_;
};

// The output file's content before each input: a document of an earlier day, so that a truncation shows.
inline constexpr std::string_view EarlierOutput = "Документ прошлого дня\r\n";

} // namespace veltrano::fuzz

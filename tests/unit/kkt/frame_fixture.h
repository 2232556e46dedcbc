// One connected training cash register built by hand: its storage file and output file in a fresh temporary
// folder, the schema's default settings, no preview, and a fixed document clock.
#pragma once

#include "common/moment.h"
#include "kkt/device_instance.h"
#include "output/output_device.h"

#include <pugixml.hpp>

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrano::kkt::testing {

// The moment every document of these tests is made at: 01.05.2024 13:45:07.
moment::DateTime TestNow();
moment::Moment TestMoment();

constexpr int TestLineLength = 42;

class KktInstanceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    DeviceInstance& Instance() { return *instance_; }
    output::OutputDevice& Device() { return instance_->Device(); }
    FiscalStorage& Storage() { return instance_->Storage(); }

    // The field as the file on disk holds it (trimmed, numbers with ".").
    std::string StoredValue(std::string_view field) const;
    // Writes fields straight into the file, as a hand edit between two operations would.
    void EditStorage(const std::vector<std::pair<std::string, std::string>>& values) const;
    std::string StorageBytes() const;
    std::string OutputBytes() const;
    // The lines the output file gained since the last call, without their CR LF; a line that does not end in
    // CR LF fails the test.
    std::vector<std::string> NewOutputLines();

    std::filesystem::path root;
    std::filesystem::path storageFile;
    std::filesystem::path outputFile;

private:
    std::unique_ptr<DeviceInstance> instance_;
    std::size_t outputSeen_ = 0;
    std::optional<std::string> savedXdg_;
    std::optional<std::string> savedHome_;
};

// An input document with the cashier: <InputParameters><Parameters CashierName=".." CashierINN=".."/>.
pugi::xml_document CashierInput(std::string_view name, std::string_view inn);
// An output document as the host adapters create it: only the declaration.
pugi::xml_document EmptyOutput();
// The document's elements without declaration, indentation or line ends, attributes in document order.
std::string Compact(const pugi::xml_document& doc);

// Receipt lines of TestLineLength characters: the left text, spaces, then the right text at the right edge.
std::string Line(std::string_view left, std::string_view right = {});
std::string Centered(std::string_view text);
std::string BlankLine();
std::string RuleLine();
// Checks that the line ends in "ФП:" and ten digits below 999999999, and puts "##########" in their place.
std::vector<std::string> MaskFiscalSign(std::vector<std::string> lines);

} // namespace veltrano::kkt::testing

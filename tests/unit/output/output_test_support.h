// Shared pieces of the output tests: a fresh temporary folder as the data folder, and a preview that records
// what the device hands over.
#pragma once

#include "output/output_device.h"
#include "output/receipt_preview.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace veltrano::output::test {

// A fresh folder removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Points the data folders at a temporary folder before any storage path is computed, so no test touches the
// real user's folders.
class DataFolderEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

private:
    std::unique_ptr<TempFolder> folder_;
};

std::string ReadWholeFile(const std::filesystem::path& file);

struct ShownDocument {
    std::string Caption;
    std::string Number;
    ReceiptEntries Copy;
};

// Keeps the documents and writes every call into a journal, like "Ensure 42 2".
class RecordingPreview final : public IReceiptPreview {
public:
    bool Exists() const override { return exists; }
    void Ensure(std::size_t lineLen, int showReceiptForm) override;
    void Destroy() override;
    void Place(const PreviewPlacement& placement) override;
    int MonospacedCharWidth() const override { return 8; }
    void AddDocument(std::string caption, std::string number, ReceiptEntries copy) override;

    bool exists = false;
    std::vector<std::string> journal;
    std::vector<ShownDocument> documents;
    PreviewPlacement placement;
};

// Installs a recording preview for the test's lifetime and puts the previous one back afterwards.
class PreviewRecorder {
public:
    PreviewRecorder();
    ~PreviewRecorder();
    PreviewRecorder(const PreviewRecorder&) = delete;
    PreviewRecorder& operator=(const PreviewRecorder&) = delete;
    RecordingPreview& operator*() const { return *recording_; }
    RecordingPreview* operator->() const { return recording_.get(); }

private:
    std::shared_ptr<RecordingPreview> recording_;
    std::shared_ptr<IReceiptPreview> previous_;
};

// A device with a fresh folder for its files.
class DeviceTest : public ::testing::Test {
protected:
    // The texts of the buffer's entries, in order.
    std::vector<std::string> BufferTexts() const;

    TempFolder folder;
    OutputDevice device;
};

} // namespace veltrano::output::test

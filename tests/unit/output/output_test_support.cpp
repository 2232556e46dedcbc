#include "output_test_support.h"

#include <stdlib.h>

#include <fstream>
#include <random>
#include <sstream>

namespace veltrano::output::test {

TempFolder::TempFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("veltrano-output-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void DataFolderEnvironment::SetUp() {
    folder_ = std::make_unique<TempFolder>();
    ::setenv("XDG_DATA_HOME", (folder_->Path() / "data").c_str(), 1);
    ::setenv("HOME", (folder_->Path() / "home").c_str(), 1);
}

void DataFolderEnvironment::TearDown() {
    folder_.reset();
}

namespace {
[[maybe_unused]] ::testing::Environment* const dataFolder =
    ::testing::AddGlobalTestEnvironment(new DataFolderEnvironment);
} // namespace

std::string ReadWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void RecordingPreview::Ensure(std::size_t lineLen, int showReceiptForm) {
    journal.push_back("Ensure " + std::to_string(lineLen) + " " + std::to_string(showReceiptForm));
    exists = true;
}

void RecordingPreview::Destroy() {
    journal.emplace_back("Destroy");
    exists = false;
}

void RecordingPreview::Place(const PreviewPlacement& where) {
    journal.emplace_back("Place");
    placement = where;
}

void RecordingPreview::AddDocument(std::string caption, std::string number, ReceiptEntries copy) {
    journal.push_back("AddDocument " + caption + " " + number);
    documents.push_back({std::move(caption), std::move(number), std::move(copy)});
}

PreviewRecorder::PreviewRecorder()
    : recording_(std::make_shared<RecordingPreview>()), previous_(InstallReceiptPreview(recording_)) {}

PreviewRecorder::~PreviewRecorder() {
    InstallReceiptPreview(previous_);
}

std::vector<std::string> DeviceTest::BufferTexts() const {
    std::vector<std::string> texts;
    for (const ReceiptEntry& entry : device.ReceiptStrList())
        texts.push_back(entry.Text);
    return texts;
}

} // namespace veltrano::output::test

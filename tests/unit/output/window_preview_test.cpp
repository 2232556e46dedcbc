// The preview over the window program, against a stand-in program that records every frame it receives: what
// is sent for the first and the later documents, after a destroy, and after the program died.
#include "output/window_preview.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;

namespace veltrano::output {
namespace {

namespace protocol = window_protocol;

constexpr const char* ReadyFrame = R"(\005\000\000\000\001\002\000\000\000)";

ReceiptEntries Document(const std::string& line) {
    return {{line, TextLineObject()}, {"t=1&s=2", MakePrintObject(KindQRCode, "t=1&s=2")}};
}

class WindowPreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/veltrano-preview-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        const fs::path script = root_ / "recorder";
        // Each program run records what it was sent in a file named by its process id.
        std::ofstream(script) << "#!/bin/sh\nprintf '" << ReadyFrame << "' >&3\nexec cat <&3 >"
                              << root_.string() << "/frames.$$\n";
        ::chmod(script.c_str(), 0700);
        program_.emplace(script);
        ::setenv("DISPLAY", ":veltrano-test", 1);
    }
    void TearDown() override {
        program_.reset();
        ::unsetenv("DISPLAY");
        fs::remove_all(root_);
    }

    // Everything the program run with that process id received, once it has ended.
    std::vector<protocol::Message> Received(pid_t pid) {
        const fs::path file = root_ / ("frames." + std::to_string(pid));
        std::ifstream in(file, std::ios::binary);
        protocol::FrameReader reader;
        reader.Feed(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
        std::vector<protocol::Message> messages;
        protocol::Message message;
        while (reader.Next(message) == protocol::FrameReader::Status::Message)
            messages.push_back(message);
        return messages;
    }

    static std::vector<protocol::MessageType> Types(const std::vector<protocol::Message>& messages) {
        std::vector<protocol::MessageType> types;
        for (const protocol::Message& m : messages)
            types.push_back(protocol::TypeOf(m));
        return types;
    }

    fs::path root_;
    std::optional<platform::WindowProgram> program_;
};

using Type = protocol::MessageType;

TEST_F(WindowPreviewTest, TheFirstDocumentMakesThePlacedWindowAndLaterOnesOnlyAddTo) {
    pid_t pid = 0;
    PreviewPlacement placement{235, 30, 7 * 42 + 30, 7 * 42 + 55, 200};
    {
        WindowPreview preview(*program_);
        preview.Ensure(42, 3);
        preview.Place(placement);
        // Nothing starts before there is a document to show.
        EXPECT_EQ(program_->ProcessId(), 0);
        EXPECT_TRUE(preview.Exists());
        preview.AddDocument("Открытие смены", "1", Document("СМЕНА ОТКРЫТА"));
        pid = program_->ProcessId();
        ASSERT_GT(pid, 0);
        preview.AddDocument("Кассовый чек", "2", Document("ИТОГО"));
        preview.Destroy();
        EXPECT_FALSE(preview.Exists());
        preview.Ensure(42, 2);
        preview.AddDocument("Закрытие смены", "3", Document("СМЕНА ЗАКРЫТА"));
        EXPECT_EQ(program_->ProcessId(), pid);
        program_->Stop();
    }
    const std::vector<protocol::Message> sent = Received(pid);
    ASSERT_EQ(Types(sent), (std::vector<Type>{Type::PreviewCreate, Type::PreviewPlace, Type::PreviewDocument,
                                              Type::PreviewDocument, Type::PreviewDestroy,
                                              Type::PreviewCreate, Type::PreviewDocument, Type::Quit}));
    EXPECT_EQ(std::get<protocol::PreviewCreate>(sent[0]).Mode, 3);
    EXPECT_EQ(std::get<protocol::PreviewPlace>(sent[1]), (protocol::PreviewPlace{235, 30, 324, 349, 200}));
    const auto& first = std::get<protocol::PreviewDocument>(sent[2]);
    EXPECT_EQ(first.Caption, "Открытие смены");
    EXPECT_EQ(first.Number, "1");
    EXPECT_EQ(first.Drawing, DocumentCanvas(42).Draw(Document("СМЕНА ОТКРЫТА")).Picture);
    EXPECT_EQ(std::get<protocol::PreviewDocument>(sent[3]).Number, "2");
    EXPECT_EQ(std::get<protocol::PreviewCreate>(sent[5]).Mode, 2);
}

TEST_F(WindowPreviewTest, AProgramThatDiedCostsOneDocumentAndTheNextStartsANewWindow) {
    WindowPreview preview(*program_);
    preview.Ensure(42, 2);
    preview.Place({235, 30, 324, 349, 200});
    preview.AddDocument("Кассовый чек", "1", Document("1"));
    const pid_t first = program_->ProcessId();
    ASSERT_EQ(::kill(first, SIGKILL), 0);
    for (int i = 0; i < 500 && program_->Running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));

    preview.AddDocument("Кассовый чек", "2", Document("2")); // noticed: logged, not shown
    EXPECT_EQ(program_->ProcessId(), 0);
    preview.AddDocument("Кассовый чек", "3", Document("3"));
    const pid_t second = program_->ProcessId();
    ASSERT_GT(second, 0);
    EXPECT_NE(second, first);
    program_->Stop();
    const std::vector<protocol::Message> sent = Received(second);
    ASSERT_EQ(Types(sent), (std::vector<Type>{Type::PreviewCreate, Type::PreviewPlace, Type::PreviewDocument,
                                              Type::Quit}));
    EXPECT_EQ(std::get<protocol::PreviewDocument>(sent[2]).Number, "3");
}

TEST_F(WindowPreviewTest, WithoutADisplayNothingStartsAndTheDeviceGoesOn) {
    ::unsetenv("DISPLAY");
    WindowPreview preview(*program_);
    preview.Ensure(42, 2);
    preview.AddDocument("Кассовый чек", "1", Document("1"));
    preview.AddDocument("Кассовый чек", "2", Document("2"));
    EXPECT_EQ(program_->ProcessId(), 0);
    EXPECT_TRUE(preview.Exists());
    EXPECT_EQ(preview.MonospacedCharWidth(), DocumentCanvas(42).SymbWidth());
}

} // namespace
} // namespace veltrano::output

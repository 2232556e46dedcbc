// The window program's client against small stand-in programs written as shell scripts: they speak just
// enough of the protocol on descriptor 3 to exercise starting, answering, dying and stopping.
#include "platform/window_program.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;

namespace veltrano::platform {
namespace {

namespace protocol = window_protocol;
using Status = WindowProgram::Status;

// The frames a stand-in writes, as printf escapes.
constexpr const char* ReadyFrame = R"(\005\000\000\000\001\002\000\000\000)";
constexpr const char* LogClosedFrame = R"(\002\000\000\000\011\010)";

bool Gone(pid_t pid) {
    return ::kill(pid, 0) == -1 && errno == ESRCH;
}

// A process that has ended but is not reaped yet: its state in /proc is Z.
bool Zombie(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

bool WaitUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class WindowProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/veltrano-windowprogram-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        const char* display = std::getenv("DISPLAY");
        savedDisplay_ = display ? std::optional<std::string>(display) : std::nullopt;
        // The stand-ins open no window; any display name lets the client start them.
        ::setenv("DISPLAY", ":veltrano-test", 1);
    }
    void TearDown() override {
        if (savedDisplay_)
            ::setenv("DISPLAY", savedDisplay_->c_str(), 1);
        else
            ::unsetenv("DISPLAY");
        fs::remove_all(root_);
    }

    fs::path Script(const std::string& name, const std::string& body) {
        const fs::path file = root_ / name;
        std::ofstream(file) << "#!/bin/sh\n" << body << "\n";
        ::chmod(file.c_str(), 0700);
        return file;
    }
    // Says Ready, then reads until the socket closes.
    fs::path Listener() {
        return Script("listener", std::string("printf '") + ReadyFrame + "' >&3\nexec cat <&3 >/dev/null");
    }

    fs::path root_;
    std::optional<std::string> savedDisplay_;
};

TEST_F(WindowProgramTest, WithoutADisplayNothingStartsAndTheReasonIsGiven) {
    ::unsetenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const std::optional<std::string> savedWayland =
        wayland ? std::optional<std::string>(wayland) : std::nullopt;
    ::unsetenv("WAYLAND_DISPLAY");
    EXPECT_EQ(MissingDisplayReason(), "Нет дисплея: переменные DISPLAY и WAYLAND_DISPLAY не заданы");
    WindowProgram program(Listener());
    const WindowProgram::Result result = program.Post(protocol::PreviewCreate{2});
    EXPECT_EQ(result.Outcome, Status::NoDisplay);
    EXPECT_EQ(result.Message, MissingDisplayReason());
    EXPECT_FALSE(program.Running());
    ::setenv("WAYLAND_DISPLAY", "wayland-veltrano-test", 1);
    EXPECT_EQ(MissingDisplayReason(), "");
    if (savedWayland)
        ::setenv("WAYLAND_DISPLAY", savedWayland->c_str(), 1);
    else
        ::unsetenv("WAYLAND_DISPLAY");
}

TEST_F(WindowProgramTest, StartsOnTheFirstMessageAndLeavesNothingRunningWhenDestroyed) {
    pid_t pid = 0;
    {
        WindowProgram program(Listener());
        EXPECT_FALSE(program.Running());
        EXPECT_TRUE(program.Post(protocol::PreviewCreate{2}).Ok());
        pid = program.ProcessId();
        ASSERT_GT(pid, 0);
        EXPECT_TRUE(program.Post(protocol::PreviewDocument{"Кассовый чек", "1", protocol::Picture{}}).Ok());
        EXPECT_EQ(program.ProcessId(), pid);
    }
    EXPECT_TRUE(Gone(pid));
}

TEST_F(WindowProgramTest, AProgramThatEndedIsReportedOnceAndTheNextMessageStartsANewOne) {
    WindowProgram program(Listener());
    ASSERT_TRUE(program.Post(protocol::PreviewCreate{3}).Ok());
    const pid_t first = program.ProcessId();
    ASSERT_EQ(::kill(first, SIGKILL), 0);
    ASSERT_TRUE(WaitUntil([first] { return Zombie(first); }));

    const WindowProgram::Result lost =
        program.Post(protocol::PreviewDocument{"Чек", "2", protocol::Picture{}});
    EXPECT_EQ(lost.Outcome, Status::Died);
    EXPECT_EQ(lost.Message, "Программа окон завершилась: сигнал 9");
    EXPECT_TRUE(Gone(first));

    EXPECT_TRUE(program.Post(protocol::PreviewCreate{3}).Ok());
    EXPECT_GT(program.ProcessId(), 0);
    EXPECT_NE(program.ProcessId(), first);
}

TEST_F(WindowProgramTest, AProgramThatStoppedReadingIsNoticedOnWriteWithoutSigpipeAndKilled) {
    // Closes its socket after the first message but goes on running: a write fails and the client kills it.
    WindowProgram program(Script("deaf", std::string("printf '") + ReadyFrame +
                                             "' >&3\nhead -c 9 <&3 >/dev/null\nexec 3>&-\nexec sleep 600"));
    ASSERT_TRUE(program.Post(protocol::PreviewCreate{2}).Ok());
    const pid_t pid = program.ProcessId();
    WindowProgram::Result result;
    // Messages written before the program closed its end are buffered; the first one after it fails.
    EXPECT_TRUE(WaitUntil([&] {
        result = program.Post(protocol::PreviewDestroy{});
        return !result.Ok();
    }));
    EXPECT_EQ(result.Outcome, Status::Died);
    EXPECT_EQ(result.Message, "Программа окон завершилась: не завершилась сама, сигнал 9");
    EXPECT_EQ(program.ProcessId(), 0);
    EXPECT_TRUE(Gone(pid));
}

TEST_F(WindowProgramTest, ARequestWaitsForTheWindowToClose) {
    // Answers once the request has arrived.
    WindowProgram program(Script("modal", std::string("printf '") + ReadyFrame +
                                              "' >&3\nhead -c 9 <&3 >/dev/null\n" + "printf '" +
                                              LogClosedFrame + "' >&3\nexec cat <&3 >/dev/null"));
    const WindowProgram::Result result = program.Request(protocol::LogViewerShow{"/tmp/"});
    EXPECT_TRUE(result.Ok()) << result.Message;
    EXPECT_TRUE(program.Running());
}

TEST_F(WindowProgramTest, ARequestWhoseProgramDiesReturnsInsteadOfWaitingForever) {
    WindowProgram program(
        Script("crash", std::string("printf '") + ReadyFrame + "' >&3\nhead -c 9 <&3 >/dev/null\nexit 4"));
    const WindowProgram::Result result = program.Request(protocol::LogViewerShow{"/tmp/"});
    EXPECT_EQ(result.Outcome, Status::Died);
    EXPECT_EQ(result.Message, "Программа окон завершилась: код 4");
}

struct StartCase {
    const char* what;
    const char* script; // empty: a path where no program lies
    const char* message;
};

class WindowProgramStart : public WindowProgramTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(WindowProgramStart, FailsWithAClearMessage) {
    const fs::path path = *GetParam().script != '\0' ? Script("start", GetParam().script) : root_ / "missing";
    WindowProgram program(path);
    const WindowProgram::Result result = program.Post(protocol::PreviewCreate{2});
    EXPECT_EQ(result.Outcome, Status::NotStarted);
    std::string expected = GetParam().message;
    if (const std::size_t at = expected.find("{path}"); at != std::string::npos)
        expected.replace(at, 6, path.string());
    EXPECT_EQ(result.Message, expected);
    EXPECT_FALSE(program.Running());
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowProgramStart,
    ::testing::Values(
        StartCase{"missing", "", "Программа окон не запустилась: {path}: No such file or directory"},
        StartCase{"exits", "exit 3", "Программа окон завершилась: код 3"},
        StartCase{"says why", R"(printf '\017\000\000\000\002\012\000\000\000display :9' >&3; exit 1)",
                  "Программа окон не запустилась: display :9"},
        StartCase{"other protocol", R"(printf '\005\000\000\000\001\001\000\000\000' >&3; exec cat <&3)",
                  "Программа окон не запустилась: другая версия протокола ({path})"},
        StartCase{"garbage", R"(printf '\377\377\377\377' >&3; exec cat <&3)",
                  "Программа окон прислала испорченное сообщение и остановлена: код 0"}),
    [](const auto& info) {
        std::string name;
        for (const char* c = info.param.what; *c != 0; ++c)
            name += *c == ' ' ? '_' : *c;
        return name;
    });

} // namespace
} // namespace veltrano::platform

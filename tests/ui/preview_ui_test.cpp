// The window program on a virtual X display (Xvfb), driven through the add-in's client and watched from
// outside with xdotool and xprop, as a user would see it. Screenshots of every window are kept in the
// artefacts folder.
#include "platform/window_program.h"
#include "testhost.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <poll.h>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace veltrano::platform {
namespace {

namespace protocol = window_protocol;

constexpr const char* PreviewCaption = "Содержимое чека";
constexpr const char* EscCaption = "Настройка ESC-кодов";
constexpr const char* LogCaption = "Просмотр лога";
constexpr std::uint32_t FullOpacity = 0xFFFFFFFFu / 255 * 235; // 235 of 255 as X stores it

bool HaveTool(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Capture(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r")) {
        char chunk[4096];
        while (std::size_t n = std::fread(chunk, 1, sizeof chunk, pipe))
            out.append(chunk, n);
        ::pclose(pipe);
    }
    return out;
}

std::vector<std::string> Windows(const std::string& caption, bool visibleOnly) {
    std::istringstream ids(Capture(std::string("xdotool search ") + (visibleOnly ? "--onlyvisible " : "") +
                                   "--name '^" + caption + "$'"));
    std::vector<std::string> found;
    for (std::string id; ids >> id;)
        found.push_back(id);
    return found;
}

struct Geometry {
    int X = 0, Y = 0, Width = 0, Height = 0;
};

Geometry GeometryOf(const std::string& id) {
    std::istringstream lines(Capture("xdotool getwindowgeometry --shell " + id));
    Geometry g;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const int value = std::atoi(line.c_str() + eq + 1);
        const std::string key = line.substr(0, eq);
        if (key == "X")
            g.X = value;
        else if (key == "Y")
            g.Y = value;
        else if (key == "WIDTH")
            g.Width = value;
        else if (key == "HEIGHT")
            g.Height = value;
    }
    return g;
}

// The window's _NET_WM_WINDOW_OPACITY; 0xFFFFFFFF when the property is absent (fully opaque).
std::uint32_t OpacityOf(const std::string& id) {
    const std::string out = Capture("xprop -id " + id + " _NET_WM_WINDOW_OPACITY");
    const std::size_t eq = out.find(" = ");
    return eq == std::string::npos ? 0xFFFFFFFFu : static_cast<std::uint32_t>(std::stoul(out.substr(eq + 3)));
}

bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool Gone(pid_t pid) {
    return pid > 0 && ::kill(pid, 0) == -1 && errno == ESRCH;
}

// A picture that looks like a short receipt from afar: text lines, a barcode band and a QR-like square.
protocol::Picture Receipt(int lines, std::uint32_t seed) {
    const std::uint32_t width = 238;
    const std::uint32_t lineHeight = 12;
    const std::uint32_t height = lines * lineHeight + 40 + 100;
    std::vector<std::uint8_t> dots(static_cast<std::size_t>(width) * height, 0);
    auto set = [&](std::uint32_t x, std::uint32_t y) { dots[static_cast<std::size_t>(y) * width + x] = 1; };
    std::uint32_t random = seed;
    auto next = [&random] { return random = random * 1103515245u + 12345u; };
    for (int line = 0; line < lines; ++line) {
        const std::uint32_t top = line * lineHeight + 2;
        const std::uint32_t length = 40 + next() % 190;
        for (std::uint32_t x = 0; x < length; x += 7)
            if (next() % 6 != 0)
                for (std::uint32_t y = top + 1; y < top + 8; ++y)
                    for (std::uint32_t dx = 0; dx < 5; ++dx)
                        if ((next() & 3) != 0)
                            set(x + dx, y);
    }
    const std::uint32_t barcodeTop = lines * lineHeight;
    for (std::uint32_t x = 40; x < 198; ++x)
        if (next() % 2 == 0)
            for (std::uint32_t y = barcodeTop + 4; y < barcodeTop + 36; ++y)
                set(x, y);
    const std::uint32_t qrTop = barcodeTop + 40;
    for (std::uint32_t cy = 0; cy < 21; ++cy)
        for (std::uint32_t cx = 0; cx < 21; ++cx)
            if (next() % 2 == 0)
                for (std::uint32_t y = 0; y < 4; ++y)
                    for (std::uint32_t x = 0; x < 4; ++x)
                        set(77 + cx * 4 + x, qrTop + 8 + cy * 4 + y);
    return protocol::PackMonochrome(width, height, dots);
}

protocol::PrinterModel Model(std::int32_t index, std::string name, std::string init, std::string cut) {
    protocol::PrinterModel model;
    model.PrinterIndex = index;
    model.PrinterName = std::move(name);
    model.Codes[0] = std::move(init);
    model.Codes[2] = std::move(cut);
    return model;
}

class PreviewUiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const char* tool : {"Xvfb", "xdotool", "xprop", "import"})
            if (!HaveTool(tool))
                skip_ = std::string(tool) + " is not installed";
        if (!fs::exists(VELTRANO_WINDOWS_PROGRAM))
            skip_ = "the window program is not built";
        if (!skip_.empty())
            return;
        // Xvfb picks a free display and writes its number to the pipe.
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const std::string displayFd = std::to_string(fds[1]);
        const char* argv[] = {"Xvfb",      "-displayfd", displayFd.c_str(), "-screen", "0", "1280x1024x24",
                              "-nolisten", "tcp",        "-noreset",        nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        ASSERT_EQ(::posix_spawnp(&xvfb_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        std::string number;
        pollfd readable{fds[0], POLLIN, 0};
        char c = 0;
        while (::poll(&readable, 1, 20000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start";
        ::setenv("DISPLAY", (":" + number).c_str(), 1);
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("VELTRANO_TEST_PREVIEW_SECONDS");
        fs::create_directories(VELTRANO_UI_ARTEFACTS);
        std::istringstream size(Capture("xdotool getdisplaygeometry"));
        size >> screenWidth_ >> screenHeight_;
    }

    static void TearDownTestSuite() {
        if (xvfb_ > 0) {
            ::kill(xvfb_, SIGTERM);
            ::waitpid(xvfb_, nullptr, 0);
        }
    }

    void SetUp() override {
        if (!skip_.empty())
            GTEST_SKIP() << skip_;
    }

    static void Screenshot(const std::string& name, const std::string& window = "root") {
        const fs::path file = fs::path(VELTRANO_UI_ARTEFACTS) / (name + ".png");
        EXPECT_EQ(std::system(("import -window " + window + " " + file.string()).c_str()), 0);
    }

    static void ShowPreview(WindowProgram& program, int mode) {
        ASSERT_TRUE(program.Post(protocol::PreviewCreate{mode}).Ok());
        // A 42-character line of 6-pixel characters, as a device sends it.
        ASSERT_TRUE(program.Post(protocol::PreviewPlace{235, 30, 6 * 42 + 30, 6 * 42 + 55, 200}).Ok());
    }

    static inline std::string skip_;
    static inline pid_t xvfb_ = 0;
    static inline int screenWidth_ = 0;
    static inline int screenHeight_ = 0;
};

TEST_F(PreviewUiTest, PreviewSitsAtTheRightEdgeAndTheNextDocumentReusesIt) {
    pid_t pid = 0;
    {
        WindowProgram program(VELTRANO_WINDOWS_PROGRAM);
        ShowPreview(program, 2);
        ASSERT_TRUE(program.Post(protocol::PreviewDocument{"Открытие смены", "1", Receipt(12, 1)}).Ok());
        pid = program.ProcessId();
        ASSERT_TRUE(WaitUntil([] { return Windows(PreviewCaption, true).size() == 1; }));
        const std::string id = Windows(PreviewCaption, true).front();

        const Geometry g = GeometryOf(id);
        EXPECT_EQ(g.Width, 6 * 42 + 30);
        EXPECT_EQ(g.Height, screenHeight_ - 200);
        EXPECT_EQ(g.X + g.Width, screenWidth_);
        EXPECT_EQ(g.Y, static_cast<int>(std::lround(screenHeight_ / 2.0) - std::lround(g.Height / 2.0)));
        EXPECT_EQ(OpacityOf(id), FullOpacity);

        ASSERT_TRUE(program.Post(protocol::PreviewDocument{"Кассовый чек", "2", Receipt(30, 2)}).Ok());
        ASSERT_TRUE(program.Post(protocol::PreviewDocument{"Кассовый чек", "3", Receipt(24, 3)}).Ok());
        EXPECT_TRUE(program.Running());
        EXPECT_EQ(Windows(PreviewCaption, false), std::vector<std::string>{id});
        EXPECT_EQ(GeometryOf(id).X, g.X);
        Screenshot("preview");
    }
    EXPECT_TRUE(Gone(pid));
    EXPECT_TRUE(Windows(PreviewCaption, false).empty());
}

TEST_F(PreviewUiTest, FadeHidesThePreviewAndANewDocumentStopsIt) {
    ::setenv("VELTRANO_TEST_PREVIEW_SECONDS", "1", 1);
    WindowProgram program(VELTRANO_WINDOWS_PROGRAM);
    ShowPreview(program, 3);
    ::unsetenv("VELTRANO_TEST_PREVIEW_SECONDS");
    ASSERT_TRUE(program.Post(protocol::PreviewDocument{"Кассовый чек", "1", Receipt(10, 4)}).Ok());
    ASSERT_TRUE(WaitUntil([] { return Windows(PreviewCaption, true).size() == 1; }));
    const std::string id = Windows(PreviewCaption, true).front();

    // The period ends and the fade begins; a document arriving now brings the window back in full.
    ASSERT_TRUE(WaitUntil([&id] { return OpacityOf(id) < FullOpacity; }));
    ASSERT_TRUE(program.Post(protocol::PreviewDocument{"Кассовый чек", "2", Receipt(10, 5)}).Ok());
    EXPECT_TRUE(WaitUntil([&id] { return OpacityOf(id) == FullOpacity; }));
    EXPECT_EQ(Windows(PreviewCaption, true), std::vector<std::string>{id});

    // A full new period, then a fade that nothing stops: the window hides and is not destroyed.
    EXPECT_TRUE(WaitUntil([] { return Windows(PreviewCaption, true).empty(); }));
    EXPECT_EQ(Windows(PreviewCaption, false), std::vector<std::string>{id});

    ASSERT_TRUE(program.Post(protocol::PreviewDocument{"Закрытие смены", "3", Receipt(10, 6)}).Ok());
    EXPECT_TRUE(WaitUntil([] { return Windows(PreviewCaption, true).size() == 1; }));
    EXPECT_EQ(OpacityOf(id), FullOpacity);

    ASSERT_TRUE(program.Post(protocol::PreviewDestroy{}).Ok());
    EXPECT_TRUE(WaitUntil([] { return Windows(PreviewCaption, false).empty(); }));
}

TEST_F(PreviewUiTest, EscSettingsOpenWithoutBlockingOncePerProcess) {
    WindowProgram program(VELTRANO_WINDOWS_PROGRAM);
    const protocol::EscSettingsShow show{{Model(1, "Axiohm A794", "27+64", "29+86+48"),
                                          Model(19, "Star TSP100 (Star Line)", "", "27+100+1"),
                                          Model(18, "Штрих-700", "27+64+27+80", "12")}};
    ASSERT_TRUE(program.Post(show).Ok());
    ASSERT_TRUE(WaitUntil([] { return Windows(EscCaption, true).size() == 1; }));
    // The preview keeps working while the settings window is open.
    ShowPreview(program, 2);
    ASSERT_TRUE(program.Post(protocol::PreviewDocument{"Кассовый чек", "1", Receipt(8, 7)}).Ok());
    ASSERT_TRUE(program.Post(show).Ok());
    EXPECT_TRUE(WaitUntil([] { return Windows(PreviewCaption, true).size() == 1; }));
    EXPECT_EQ(Windows(EscCaption, false).size(), 1u);
    const Geometry g = GeometryOf(Windows(EscCaption, true).front());
    EXPECT_EQ(g.Width, 490);
    EXPECT_EQ(g.Height, 526);
    // Two steps down the list is "Star TSP100 (Star Line)", whose codes are drawn like the titles.
    const std::string id = Windows(EscCaption, true).front();
    EXPECT_EQ(std::system(("xdotool windowfocus --sync " + id + " key Down Down").c_str()), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Screenshot("esc-settings", id);
}

TEST_F(PreviewUiTest, LogViewerAnswersOnlyWhenClosed) {
    char pattern[] = "/tmp/veltrano-ui-log-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path folder = pattern;
    std::ofstream(folder / "Veltrano_2024.05.01.log") << "01.05.2024 09:00:00 Открытие смены\r\n";
    std::ofstream(folder / "Veltrano_2024.05.02.LOG")
        << "02.05.2024 09:00:00.120 [Info] Лог включен\r\n02.05.2024 09:00:01.004 [Info] ОткрытьСмену: смена "
           "7\r\n";
    std::ofstream(folder / "notes.txt") << "не лог";

    WindowProgram program(VELTRANO_WINDOWS_PROGRAM);
    std::future<WindowProgram::Result> answer = std::async(
        std::launch::async, [&] { return program.Request(protocol::LogViewerShow{folder.string() + "/"}); });
    ASSERT_TRUE(WaitUntil([] { return Windows(LogCaption, true).size() == 1; }));
    EXPECT_EQ(answer.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
    // A line written while the viewer is open shows within a second.
    std::ofstream(folder / "Veltrano_2024.05.02.LOG", std::ios::app)
        << "02.05.2024 09:00:02.310 [Info] СформироватьЧек: чек 1\r\n";
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const std::string id = Windows(LogCaption, true).front();
    Screenshot("log-viewer", id);

    EXPECT_EQ(std::system(("xdotool windowfocus --sync " + id + " key Escape").c_str()), 0);
    ASSERT_EQ(answer.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_TRUE(answer.get().Ok());
    EXPECT_TRUE(WaitUntil([] { return Windows(LogCaption, false).empty(); }));
    fs::remove_all(folder);
}

TEST_F(PreviewUiTest, AKilledProgramIsReportedAndTheNextDocumentStartsANewOne) {
    WindowProgram program(VELTRANO_WINDOWS_PROGRAM);
    ShowPreview(program, 2);
    ASSERT_TRUE(program.Post(protocol::PreviewDocument{"Кассовый чек", "1", Receipt(8, 8)}).Ok());
    const pid_t first = program.ProcessId();
    ASSERT_EQ(::kill(first, SIGKILL), 0);
    WindowProgram::Result lost;
    ASSERT_TRUE(WaitUntil([&] {
        lost = program.Post(protocol::PreviewDocument{"Кассовый чек", "2", Receipt(8, 9)});
        return !lost.Ok();
    }));
    EXPECT_EQ(lost.Outcome, WindowProgram::Status::Died);
    EXPECT_TRUE(Gone(first));

    ShowPreview(program, 2);
    ASSERT_TRUE(program.Post(protocol::PreviewDocument{"Кассовый чек", "3", Receipt(8, 10)}).Ok());
    EXPECT_NE(program.ProcessId(), first);
    EXPECT_TRUE(WaitUntil([] { return Windows(PreviewCaption, true).size() == 1; }));
}

// The real add-in, loaded by the test host as the platform loads it, shows its documents in the preview,
// opens the ESC code settings without blocking and the log viewer modally, and leaves nothing behind when it
// is unloaded.
class AddinUiTest : public PreviewUiTest {
protected:
    static void SetUpTestSuite() {
        PreviewUiTest::SetUpTestSuite();
        // The platform's client draws its own windows with fontconfig, so unloading the add-in never unloads
        // the library. Here too: otherwise the objects fontconfig keeps for the whole process would be
        // stranded with the library and reported as the add-in's leaks.
        fontconfig_ = ::dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_GLOBAL);
    }

    void SetUp() override {
        PreviewUiTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_NE(fontconfig_, nullptr) << ::dlerror();
        char pattern[] = "/tmp/veltrano-ui-addin-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "HOME"})
            ::setenv(name, (root_ / name).c_str(), 1);
        // The preview hides a second after it is shown instead of after 15 seconds.
        ::setenv("VELTRANO_TEST_PREVIEW_SECONDS", "1", 1);
    }
    void TearDown() override {
        ::unsetenv("VELTRANO_TEST_PREVIEW_SECONDS");
        if (!root_.empty())
            fs::remove_all(root_);
    }

    // The demonstration's settings with the preview in mode 3 (hidden 15 seconds after being shown).
    std::string Settings() const {
        std::ifstream in(fs::path(VELTRANO_SOURCE_DIR) / "scenarios" / "training-settings.xml");
        std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        xml = std::regex_replace(xml, std::regex(R"(Name="ShowReceiptForm" Value="1")"),
                                 R"(Name="ShowReceiptForm" Value="3")");
        return std::regex_replace(xml, std::regex(R"(Value="receipts.txt")"),
                                  "Value=\"" + (root_ / "receipts.txt").string() + "\"");
    }

    static testhost::Value Text(std::string text) { return testhost::Value::Text(std::move(text)); }

    static inline void* fontconfig_ = nullptr;
    fs::path root_;
};

constexpr const char* Registration =
    R"(<?xml version="1.0"?><Parameters CashierName="Петров П.П." KKTNumber="0000000001" CompanyName="ООО Ромашка" )"
    R"(INN="7701234567" SaleAddress="Москва, ул. Ленина, 1" SaleLocation="Магазин у дома" TaxationSystems="0,1" )"
    R"(IsOffline="false" IsEncrypted="false" IsAutomatic="false" IsOnlineOnly="false" IsAutomaticPrinter="false" )"
    R"(IsService="false" AgentTypes="" AutomaticNumber="" BSOSing="false" OFDCompany="ООО Такском" )"
    R"(OFDCompanyINN="7704211201" SenderEmail="kkt@romashka.ru" FNSURL="www.nalog.gov.ru" IsExcisable="false" )"
    R"(IsGambling="false" IsLottery="false"/>)";
constexpr const char* Cashier =
    R"(<?xml version="1.0"?><InputParameters><Parameters CashierName="Иванов И.И." CashierINN="500100732259"/>)"
    R"(</InputParameters>)";

TEST_F(AddinUiTest, DocumentsAppearInThePreviewAndNothingOutlivesTheModule) {
    pid_t windows = 0;
    {
        testhost::TestHost host;
        std::unique_ptr<testhost::Component> driver = host.Create();
        ASSERT_NE(driver, nullptr);
        const testhost::CallResult connected =
            driver->Call("ПодключитьОборудование", {testhost::Value::Empty(), Text(""), Text(Settings())});
        ASSERT_TRUE(connected.Succeeded()) << driver->LastError().description;
        const std::string id = connected.Out(0);
        // Connecting makes no window yet: the program starts with the first document.
        EXPECT_TRUE(Windows(PreviewCaption, false).empty());

        ASSERT_TRUE(
            driver->Call("ОперацияФН", {Text(id), testhost::Value::Int(1), Text(Registration)}).Succeeded())
            << driver->LastError().description;
        ASSERT_TRUE(WaitUntil([] { return Windows(PreviewCaption, true).size() == 1; }));
        const std::string preview = Windows(PreviewCaption, true).front();
        windows = std::atoi(Capture("xdotool getwindowpid " + preview).c_str());
        EXPECT_GT(windows, 0);

        // At the right edge, vertically centred, as wide as a line of the canvas and a little more.
        const Geometry g = GeometryOf(preview);
        EXPECT_EQ(g.X + g.Width, screenWidth_);
        EXPECT_EQ(g.Height, screenHeight_ - 200);
        EXPECT_EQ(g.Y, static_cast<int>(std::lround(screenHeight_ / 2.0) - std::lround(g.Height / 2.0)));
        EXPECT_GT(g.Width, 42 * 5 + 30);

        // A second document reuses the window, and its fade ends in hiding it, not destroying it.
        ASSERT_TRUE(
            driver->Call("ОткрытьСмену", {Text(id), Text(Cashier), testhost::Value::Empty()}).Succeeded())
            << driver->LastError().description;
        EXPECT_EQ(Windows(PreviewCaption, false), std::vector<std::string>{preview});
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Screenshot("addin-preview", preview);
        EXPECT_TRUE(WaitUntil([] { return Windows(PreviewCaption, true).empty(); }));
        EXPECT_EQ(Windows(PreviewCaption, false), std::vector<std::string>{preview});

        // The next document brings it back.
        ASSERT_TRUE(
            driver
                ->Call("НапечататьЧекВнесенияВыемки", {Text(id), Text(Cashier), testhost::Value::Double(500)})
                .Succeeded())
            << driver->LastError().description;
        EXPECT_TRUE(WaitUntil([] { return Windows(PreviewCaption, true).size() == 1; }));

        // The ESC code settings open and the call has already returned: the window is not modal.
        const testhost::CallResult esc =
            driver->Call("ВыполнитьДополнительноеДействие", {Text("ESCSettings")});
        EXPECT_TRUE(esc.Succeeded()) << driver->LastError().description;
        EXPECT_TRUE(WaitUntil([] { return Windows(EscCaption, true).size() == 1; }));
        EXPECT_EQ(Windows(PreviewCaption, false), std::vector<std::string>{preview});
        Screenshot("addin-desktop");

        // The log viewer is modal: the call returns when the window is closed.
        std::future<testhost::CallResult> log = std::async(std::launch::async, [&driver] {
            return driver->Call("ВыполнитьДополнительноеДействие", {Text("ViewLog")});
        });
        ASSERT_TRUE(WaitUntil([] { return Windows(LogCaption, true).size() == 1; }));
        EXPECT_EQ(log.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
        const std::string viewer = Windows(LogCaption, true).front();
        EXPECT_EQ(std::system(("xdotool windowfocus --sync " + viewer + " key Escape").c_str()), 0);
        ASSERT_EQ(log.wait_for(std::chrono::seconds(20)), std::future_status::ready);
        EXPECT_TRUE(log.get().Succeeded());
    }
    EXPECT_TRUE(WaitUntil([windows] { return Gone(windows); }));
    EXPECT_TRUE(Windows(PreviewCaption, false).empty());
    EXPECT_TRUE(Windows(EscCaption, false).empty());
}

} // namespace
} // namespace veltrano::platform

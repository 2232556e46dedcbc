// Printers that cannot be reached or stop taking the document, all on this machine: the host sees the
// connection's message and code within its time limit, after the document was counted, saved and written to
// the output file.
#include "host_kkt_printer_fixture.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace veltrano::hosttest::printing {
namespace {

using Clock = std::chrono::steady_clock;

// A loopback port on which nobody listens.
int ClosedPort() {
    const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    return ntohs(address.sin_port);
}

// A loopback listener that never accepts, its queue already full: a new connection gets no answer.
class FullListener {
public:
    FullListener() {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 0);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        for (int i = 0; i < 4; ++i) {
            const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
            fillers_.push_back(filler);
        }
    }
    ~FullListener() {
        for (const int filler : fillers_)
            ::close(filler);
        ::close(listener_);
    }
    int Port() const { return port_; }

private:
    int listener_ = -1;
    int port_ = 0;
    std::vector<int> fillers_;
};

const char* const Document = R"(<Document><Positions>
  <TextString Text="Документ для принтера"/>
  <Barcode Type="QR" Value="t=20240115T1030&amp;s=1250.50&amp;fn=9999078900004792&amp;i=15&amp;fp=3522207165&amp;n=1"/>
  <GraphicText Text="Крупный текст на всю ширину" FontName="Arial" FontSize="30"/>
</Positions></Document>)";

struct FailureCase {
    const char* name;
    std::function<Overrides(const std::filesystem::path& dataFolder)> settings;
    std::int32_t code;
    std::string message; // the start of it
    std::chrono::seconds limit;
};

class PrinterFailureHostTest : public PrinterHostTest {
protected:
    void ExpectFailureAfterTheSave(const FailureCase& c) {
        const std::string id = Connect(Settings(c.settings(DataFolder())));
        ASSERT_FALSE(id.empty()) << c.name;
        const std::string counted = Field("TotalDocCounter");
        const auto started = Clock::now();
        const CallResult printed = TextDocument(id, Document);
        const auto took = Clock::now() - started;
        EXPECT_TRUE(printed.returned) << c.name;
        EXPECT_FALSE(printed.Succeeded()) << c.name;
        EXPECT_EQ(driver_->LastError().code, c.code) << c.name;
        EXPECT_EQ(LastMessage().rfind(c.message, 0), 0u) << c.name << ": " << LastMessage();
        EXPECT_LT(took, c.limit) << c.name;
        // Counted, saved and written: only the paper is missing.
        EXPECT_EQ(Field("TotalDocCounter"), std::to_string(std::stoi(counted) + 1)) << c.name;
        EXPECT_EQ(NewRawLines(), Lines{Line("Документ для принтера")}) << c.name;
    }
};

TEST_F(PrinterFailureHostTest, EachUnreachablePrinterGivesItsMessage) {
    using std::chrono::seconds;
    const int closed = ClosedPort();
    const std::vector<FailureCase> cases{
        {"refused",
         [&](const auto&) {
             return Overrides{
                 {"InterfaceType", "2"}, {"IPAddress", "127.0.0.1"}, {"IPPort", std::to_string(closed)}};
         },
         1001, "Ошибка при установлении подключения", seconds(2)},
        {"host name",
         [](const auto&) {
             return Overrides{{"InterfaceType", "2"}, {"IPAddress", "localhost"}};
         },
         1001, "Синтаксическая ошибка в IP-адресе", seconds(1)},
        {"port above the range",
         [](const auto&) {
             return Overrides{{"InterfaceType", "2"}, {"IPAddress", "127.0.0.1"}, {"IPPort", "70000"}};
         },
         1001, "Номер порта должен лежать в диапазоне 1-65535", seconds(1)},
        {"port 0",
         [](const auto&) {
             return Overrides{{"InterfaceType", "2"}, {"IPAddress", "127.0.0.1"}, {"IPPort", "0"}};
         },
         1001, "Номер порта должен лежать в диапазоне 1-65535", seconds(1)},
        {"missing USB path",
         [](const auto& folder) {
             return Overrides{{"InterfaceType", "0"}, {"USBPort", (folder / "no-such-lp0").string()}};
         },
         1011, "Порт недоступен", seconds(1)},
        {"COM link to nothing",
         [](const auto& folder) {
             std::filesystem::create_directories(folder);
             std::filesystem::create_symlink(folder / "no-such-tty", folder / "COM9");
             return Overrides{{"InterfaceType", "1"}, {"COMPort", "9"}};
         },
         1001, "Ошибка открытия COM-порта. ", seconds(1)},
    };
    for (const FailureCase& c : cases)
        ExpectFailureAfterTheSave(c);
}

// Both waits are the connection's own limits: 5 seconds for an answer, 5 seconds without progress.
TEST_F(PrinterFailureHostTest, APrinterThatDoesNotAnswerOrStopsReadingIsGivenUpInTime) {
    FullListener silent;
    ExpectFailureAfterTheSave({"no answer",
                               [&](const auto&) {
                                   return Overrides{{"InterfaceType", "2"},
                                                    {"IPAddress", "127.0.0.1"},
                                                    {"IPPort", std::to_string(silent.Port())}};
                               },
                               1001, "Ошибка при установлении подключения", std::chrono::seconds(7)});

    LoopbackPrinter stalled(1000);
    ExpectFailureAfterTheSave({"stops reading",
                               [&](const auto&) {
                                   return Overrides{{"InterfaceType", "2"},
                                                    {"IPAddress", " 127.0.0.1 "},
                                                    {"IPPort", std::to_string(stalled.Port())},
                                                    {"BarcodeAsPicture", "true"},
                                                    {"QRSize", "12"}};
                               },
                               1001, "Ошибка при отправке данных серверу", std::chrono::seconds(8)});
}

TEST_F(PrinterFailureHostTest, TheVirtualDeviceNeitherPrintsNorFails) {
    for (const char* none : {"-1", "3"}) {
        const std::string id = Connect(Settings({{"InterfaceType", none}}));
        ASSERT_FALSE(id.empty());
        EXPECT_TRUE(TextDocument(id, Document).Succeeded()) << none << ": " << LastMessage();
    }
}

} // namespace
} // namespace veltrano::hosttest::printing

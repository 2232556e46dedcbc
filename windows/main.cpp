// veltrano-windows: the windows of the Veltrano add-in, in a process of their own. The add-in starts it with
// one end of a Unix stream socket as --socket-fd=N and sends it messages (common/window_protocol.h); the
// program answers Ready once its display is open, and ends when told to or when the socket closes, so that no
// window outlives the add-in.
#include "esc_settings_window.h"
#include "log_viewer_window.h"
#include "preview_window.h"

#include "common/window_protocol.h"

#include <glib-unix.h>
#include <gtk/gtk.h>

#include <dirent.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace veltrano::windows {
namespace {

namespace protocol = window_protocol;

// Test-only: seconds that replace the preview's 15, 30 and 60 second periods.
std::optional<double> TestPreviewSeconds() {
    const char* value = std::getenv("VELTRANO_TEST_PREVIEW_SECONDS");
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    char* end = nullptr;
    const double seconds = std::strtod(value, &end);
    if (end == value || *end != '\0' || !(seconds > 0))
        return std::nullopt;
    return seconds;
}

bool SendAll(int fd, const std::string& frame) {
    std::size_t sent = 0;
    while (sent < frame.size()) {
        const ssize_t n = ::send(fd, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

class App {
public:
    explicit App(int fd) : fd_(fd), testSeconds_(TestPreviewSeconds()) {}

    bool Send(const protocol::Message& message) { return SendAll(fd_, protocol::Encode(message)); }

    static gboolean OnSocket(gint, GIOCondition, gpointer self) {
        return static_cast<App*>(self)->Read() ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
    }

    // Windows go before the main loop ends, while the display is still open.
    void CloseAll() {
        preview_.reset();
        esc_.reset();
        log_.reset();
    }

private:
    bool Read() {
        char chunk[65536];
        for (;;) {
            const ssize_t n = ::recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
            if (n > 0) {
                reader_.Feed(std::string_view(chunk, static_cast<std::size_t>(n)));
                if (!Dispatch())
                    return Quit();
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return true;
            // The add-in has gone: nothing may stay on the screen after it.
            return Quit();
        }
    }

    bool Dispatch() {
        protocol::Message message;
        for (;;) {
            switch (reader_.Next(message)) {
            case protocol::FrameReader::Status::NeedMore:
                return true;
            case protocol::FrameReader::Status::Broken:
                std::fprintf(stderr, "veltrano-windows: a malformed message from the add-in\n");
                return false;
            case protocol::FrameReader::Status::Message:
                if (std::holds_alternative<protocol::Quit>(message))
                    return false;
                Handle(message);
                break;
            }
        }
    }

    void Handle(protocol::Message& message) {
        if (auto* create = std::get_if<protocol::PreviewCreate>(&message)) {
            if (!preview_)
                preview_ = std::make_unique<PreviewWindow>(create->Mode, testSeconds_);
        } else if (auto* place = std::get_if<protocol::PreviewPlace>(&message)) {
            if (preview_)
                preview_->Place(*place);
        } else if (auto* document = std::get_if<protocol::PreviewDocument>(&message)) {
            if (preview_)
                preview_->AddDocument(std::move(*document));
        } else if (std::holds_alternative<protocol::PreviewDestroy>(message)) {
            preview_.reset();
        } else if (auto* esc = std::get_if<protocol::EscSettingsShow>(&message)) {
            ShowEscSettings(std::move(esc->Models));
        } else if (std::holds_alternative<protocol::EscSettingsClose>(message)) {
            esc_.reset();
        } else if (auto* log = std::get_if<protocol::LogViewerShow>(&message)) {
            ShowLog(log->Folder);
        }
    }

    void ShowEscSettings(std::vector<protocol::PrinterModel> models) {
        if (esc_) {
            esc_->Present();
            return;
        }
        esc_ = std::make_unique<EscSettingsWindow>(std::move(models), [this] { Later(&App::DropEsc); });
    }

    void ShowLog(const std::string& folder) {
        if (log_) {
            log_->Present();
            return;
        }
        log_ = std::make_unique<LogViewerWindow>(folder, [this] {
            Send(protocol::WindowClosed{protocol::MessageType::LogViewerShow});
            Later(&App::DropLog);
        });
    }

    // A window asks to be freed from inside its own signal handler; it is freed once that has returned.
    void Later(void (App::*drop)()) {
        struct Call {
            App* app;
            void (App::*drop)();
        };
        g_idle_add_full(
            G_PRIORITY_DEFAULT_IDLE,
            [](gpointer data) -> gboolean {
                auto* call = static_cast<Call*>(data);
                (call->app->*call->drop)();
                return G_SOURCE_REMOVE;
            },
            new Call{this, drop}, [](gpointer data) { delete static_cast<Call*>(data); });
    }

    void DropEsc() { esc_.reset(); }
    void DropLog() { log_.reset(); }

    bool Quit() {
        gtk_main_quit();
        return false;
    }

    int fd_;
    std::optional<double> testSeconds_;
    protocol::FrameReader reader_;
    std::unique_ptr<PreviewWindow> preview_;
    std::unique_ptr<EscSettingsWindow> esc_;
    std::unique_ptr<LogViewerWindow> log_;
};

// Descriptors the add-in's host left open without close-on-exec belong to the host, not to this program.
void CloseInheritedDescriptors(int keep) {
    std::vector<int> open;
    if (DIR* folder = ::opendir("/proc/self/fd")) {
        while (const dirent* entry = ::readdir(folder)) {
            char* end = nullptr;
            const long fd = std::strtol(entry->d_name, &end, 10);
            if (*end == '\0' && end != entry->d_name && fd > STDERR_FILENO && fd != keep &&
                fd != ::dirfd(folder))
                open.push_back(static_cast<int>(fd));
        }
        ::closedir(folder);
    }
    for (int fd : open)
        ::close(fd);
}

int SocketFd(int argc, char** argv) {
    constexpr std::string_view prefix = "--socket-fd=";
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with(prefix)) {
            char* end = nullptr;
            const long fd = std::strtol(argv[i] + prefix.size(), &end, 10);
            if (*end == '\0' && fd >= 0 && fd < 65536 && ::fcntl(static_cast<int>(fd), F_GETFD) != -1)
                return static_cast<int>(fd);
        }
    }
    return -1;
}

} // namespace
} // namespace veltrano::windows

#if defined(__SANITIZE_ADDRESS__)
// The toolkit's libraries keep process-wide caches until exit; a sanitizer build reports only what this
// program's own code leaves behind.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libgio-2.0.so\n"
           "leak:libdbus-1.so\nleak:libgtk-3.so\nleak:libgdk-3.so\nleak:libpango\nleak:libcairo.so\n"
           "leak:libharfbuzz.so\nleak:libatk\nleak:libX11.so\n";
}
#endif

int main(int argc, char** argv) {
    using namespace veltrano::windows;
    const int fd = SocketFd(argc, argv);
    if (fd < 0) {
        std::fprintf(stderr, "usage: veltrano-windows --socket-fd=N (started by the Veltrano add-in)\n");
        return 2;
    }
    CloseInheritedDescriptors(fd);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    if (!gtk_init_check(&argc, &argv)) {
        const char* display = std::getenv("DISPLAY");
        SendAll(fd, veltrano::window_protocol::Encode(veltrano::window_protocol::Failed{
                        std::string("не удалось открыть дисплей ") + (display ? display : "")}));
        return 1;
    }
    App app(fd);
    if (!app.Send(veltrano::window_protocol::Ready{}))
        return 1;
    g_unix_fd_add(fd, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), App::OnSocket, &app);
    gtk_main();
    app.CloseAll();
    return 0;
}

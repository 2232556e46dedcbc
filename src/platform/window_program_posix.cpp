#include "platform/window_program.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace veltrano::platform {
namespace {

namespace protocol = window_protocol;

// The descriptor the program finds its socket on.
constexpr int ProgramSocketFd = 3;
// Generous bounds: a toolkit starting on a loaded machine, a program that stopped reading, one that ignores
// the order to quit.
constexpr int StartTimeoutMs = 15000;
constexpr int WriteTimeoutMs = 10000;
constexpr auto QuitWait = std::chrono::seconds(2);

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

std::string SystemError(int error) {
    return std::strerror(error);
}

std::string ExitText(int status) {
    if (WIFEXITED(status))
        return "код " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "сигнал " + std::to_string(WTERMSIG(status));
    return "состояние " + std::to_string(status);
}

} // namespace

std::string MissingDisplayReason() {
    if (Set("DISPLAY") || Set("WAYLAND_DISPLAY"))
        return {};
    return "Нет дисплея: переменные DISPLAY и WAYLAND_DISPLAY не заданы";
}

WindowProgram& SharedWindowProgram() {
    static WindowProgram program([] { return CarriedProgram("veltrano-windows"); });
    return program;
}

void StopSharedWindowProgram() {
    SharedWindowProgram().Stop();
}

WindowProgram::WindowProgram(std::filesystem::path program)
    : locate_([program = std::move(program)] {
          return ProgramLocation{program, {}};
      }) {}

WindowProgram::WindowProgram(Locator locator) : locate_(std::move(locator)) {}

WindowProgram::~WindowProgram() {
    Stop();
}

WindowProgram::Result WindowProgram::Post(const protocol::Message& message) {
    const std::string frame = protocol::Encode(message);
    if (frame.size() > 4 + protocol::MaxFrameBytes)
        return {Status::Refused,
                "Сообщение для программы окон слишком велико: " + std::to_string(frame.size()) + " байт"};
    if (!Running()) {
        // A program that ended by itself costs this message; the next one starts a new program.
        if (!exitNotice_.empty()) {
            Result died{Status::Died, std::move(exitNotice_)};
            exitNotice_.clear();
            return died;
        }
        Result started = Start();
        if (!started.Ok())
            return started;
    }
    return Send(frame);
}

WindowProgram::Result WindowProgram::Request(const protocol::Message& message) {
    Result sent = Post(message);
    if (!sent.Ok())
        return sent;
    const protocol::MessageType request = protocol::TypeOf(message);
    for (;;) {
        protocol::Message answer;
        Result received = Receive(answer, -1);
        if (!received.Ok())
            return received;
        const auto* closed = std::get_if<protocol::WindowClosed>(&answer);
        if (closed != nullptr && closed->Request == request)
            return {};
    }
}

bool WindowProgram::Running() {
    if (pid_ == 0)
        return false;
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == 0)
        return true;
    // Ended (or already reaped by a host that ignores SIGCHLD): said once, by the next message.
    const bool reaped = done == pid_;
    pid_ = 0;
    Reap();
    exitNotice_ = "Программа окон завершилась: " + (reaped ? ExitText(status) : std::string("завершена"));
    return false;
}

void WindowProgram::Stop() {
    exitNotice_.clear();
    if (pid_ != 0) {
        // The program also quits when its socket closes; the message only makes it quicker.
        const std::string quit = protocol::Encode(protocol::Quit{});
        (void)::send(socket_, quit.data(), quit.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    Reap();
}

WindowProgram::Result WindowProgram::Start() {
    const std::string noDisplay = MissingDisplayReason();
    if (!noDisplay.empty())
        return {Status::NoDisplay, noDisplay};

    const ProgramLocation location = locate_();
    if (!location.Ok())
        return {Status::NotStarted, location.Error};

    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return {Status::NotStarted, "Программа окон не запустилась: socketpair: " + SystemError(errno)};

    // The child gets its end as descriptor 3 (dup2 clears close-on-exec, even onto itself) and /dev/null as
    // standard input and output; the program closes whatever else the host left open (a spawn action that
    // does it needs a newer C library than the module may).
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], ProgramSocketFd);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);

    // A host may block or ignore signals; the program starts with the ordinary dispositions.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGCHLD, SIGINT, SIGTERM, SIGHUP})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const std::string path = location.Path.string();
    const std::string socketArgument = "--socket-fd=" + std::to_string(ProgramSocketFd);
    char* argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>(socketArgument.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, path.c_str(), &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(fds[1]);
    if (spawned != 0) {
        ::close(fds[0]);
        return {Status::NotStarted, "Программа окон не запустилась: " + path + ": " + SystemError(spawned)};
    }
    pid_ = pid;
    socket_ = fds[0];
    reader_ = protocol::FrameReader();

    protocol::Message hello;
    Result received = Receive(hello, StartTimeoutMs);
    if (!received.Ok())
        return {Status::NotStarted, received.Message};
    if (const auto* failed = std::get_if<protocol::Failed>(&hello)) {
        const std::string reason = failed->Reason;
        Reap();
        return {Status::NotStarted, "Программа окон не запустилась: " + reason};
    }
    const auto* ready = std::get_if<protocol::Ready>(&hello);
    if (ready == nullptr || ready->ProtocolVersion != protocol::Version) {
        Reap();
        return {Status::NotStarted, "Программа окон не запустилась: другая версия протокола (" + path + ")"};
    }
    return {};
}

WindowProgram::Result WindowProgram::Send(const std::string& frame) {
    std::size_t sent = 0;
    while (sent < frame.size()) {
        const ssize_t n =
            ::send(socket_, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        const int error = errno;
        if (n < 0 && error == EINTR)
            continue;
        if (n < 0 && (error == EAGAIN || error == EWOULDBLOCK)) {
            pollfd wait{socket_, POLLOUT, 0};
            const int ready = ::poll(&wait, 1, WriteTimeoutMs);
            if (ready > 0 || (ready < 0 && errno == EINTR))
                continue;
            return {Status::Died, "Программа окон не принимает сообщения и остановлена: " + Reap()};
        }
        return {Status::Died, "Программа окон завершилась: " + Reap()};
    }
    return {};
}

WindowProgram::Result WindowProgram::Receive(protocol::Message& message, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        switch (reader_.Next(message)) {
        case protocol::FrameReader::Status::Message:
            return {};
        case protocol::FrameReader::Status::Broken:
            return {Status::Died, "Программа окон прислала испорченное сообщение и остановлена: " + Reap()};
        case protocol::FrameReader::Status::NeedMore:
            break;
        }
        int wait = -1;
        if (timeoutMs >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return {Status::Died, "Программа окон не ответила и остановлена: " + Reap()};
            wait = static_cast<int>(left.count());
        }
        pollfd readable{socket_, POLLIN, 0};
        const int ready = ::poll(&readable, 1, wait);
        if (ready < 0 && errno != EINTR)
            return {Status::Died, "Ошибка связи с программой окон: " + SystemError(errno) + "; " + Reap()};
        if (ready <= 0)
            continue;
        char chunk[65536];
        const ssize_t n = ::recv(socket_, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n > 0)
            reader_.Feed(std::string_view(chunk, static_cast<std::size_t>(n)));
        else if (n == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
            return {Status::Died, "Программа окон завершилась: " + Reap()};
    }
}

std::string WindowProgram::Reap() {
    if (socket_ >= 0) {
        ::close(socket_);
        socket_ = -1;
    }
    if (pid_ == 0)
        return "уже завершена";
    const pid_t pid = pid_;
    pid_ = 0;
    int status = 0;
    // The closed socket tells the program to quit; give it a moment before it is killed.
    const auto deadline = std::chrono::steady_clock::now() + QuitWait;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return ExitText(status);
        if (done < 0 && errno != EINTR)
            return "завершена";
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return "не завершилась сама, " + ExitText(status);
}

} // namespace veltrano::platform

// The add-in's end of its window program: a separate process that owns every window, so that the add-in never
// loads a GUI toolkit and a crashing window cannot take the host down.
//
// The program is started when a message first needs it and talks over a Unix stream socket inherited as
// descriptor 3 (see window_protocol.h for the messages). Not thread-safe: one object per process, used from
// the host's calling thread.
#pragma once

#include "common/window_protocol.h"
#include "platform/carried_program.h"

#include <filesystem>
#include <functional>
#include <string>
#include <sys/types.h>

namespace veltrano::platform {

// Why windows cannot open in this session; empty when DISPLAY or WAYLAND_DISPLAY names a display.
std::string MissingDisplayReason();

class WindowProgram;

// The process's one window program, veltrano-windows as the module carries it: the preview, the ESC code
// settings and the log viewer share it. Started by its first message; stopped by StopSharedWindowProgram and
// when the module is unloaded.
WindowProgram& SharedWindowProgram();
void StopSharedWindowProgram();

class WindowProgram {
public:
    enum class Status {
        Done,       // the message was delivered (and, for a request, answered)
        NoDisplay,  // no display: the program was not started
        NotStarted, // the program could not be started or did not come up
        Died,       // the program ended or stopped reading; the next message starts a new one
        Refused,    // the message is larger than a frame may be; nothing was sent
    };
    struct Result {
        Status Outcome = Status::Done;
        // Why it failed, as a sentence for the log or the last error; empty when done.
        std::string Message;
        bool Ok() const { return Outcome == Status::Done; }
    };

    // Asked before every start where the program is; a location with an error is not started.
    using Locator = std::function<ProgramLocation()>;

    explicit WindowProgram(std::filesystem::path program);
    explicit WindowProgram(Locator locator);
    // Stops the program and reaps it: nothing is left running.
    ~WindowProgram();
    WindowProgram(const WindowProgram&) = delete;
    WindowProgram& operator=(const WindowProgram&) = delete;

    // Sends a message, starting the program first when none is running, and returns once it is written. When
    // the program has ended by itself since the last message, this message is not sent: the result says how
    // it ended, and the next message starts a new program.
    Result Post(const window_protocol::Message& message);
    // Sends a message that opens a modal window and waits until the program says the window has closed.
    Result Request(const window_protocol::Message& message);

    // Whether a program is running; one that has ended is reaped here.
    bool Running();
    // Asks the program to quit, waits a little, kills it when it does not, and reaps it.
    void Stop();
    // The running program's process id; 0 when none runs.
    pid_t ProcessId() const { return pid_; }

private:
    Result Start();
    Result Send(const std::string& frame);
    // Waits for the next message until the timeout in milliseconds (negative: without end).
    Result Receive(window_protocol::Message& message, int timeoutMs);
    // Closes the socket, reaps the program (killing it when it lingers) and says how it ended.
    std::string Reap();

    Locator locate_;
    pid_t pid_ = 0;
    int socket_ = -1;
    window_protocol::FrameReader reader_;
    std::string exitNotice_;
};

} // namespace veltrano::platform

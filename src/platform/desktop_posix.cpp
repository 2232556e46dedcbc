#include "platform/desktop.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace veltrano::platform {
namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Spawns with the PATH search when searchPath is true, otherwise runs exactly the file given.
int SpawnAndWait(const std::string& program, const std::vector<std::string>& arguments, bool searchPath) {
    std::vector<std::string> owned;
    owned.reserve(arguments.size() + 1);
    owned.push_back(program);
    owned.insert(owned.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : owned)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    pid_t child = 0;
    const int started = searchPath
                            ? ::posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv.data(), environ)
                            : ::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (started != 0)
        return -1;
    int status = 0;
    for (;;) {
        if (::waitpid(child, &status, 0) == child)
            break;
        if (errno == EINTR)
            continue;
        // A host that ignores SIGCHLD has its children reaped by the system: the program did run and has
        // ended, only its status is lost.
        return errno == ECHILD ? 0 : -1;
    }
    if (!WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

bool HasDisplay() {
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
    return SpawnAndWait(program.string(), arguments, false);
}

bool OpenWithDesktop(const std::filesystem::path& file) {
    return SpawnAndWait("xdg-open", {file.string()}, true) == 0;
}

} // namespace veltrano::platform

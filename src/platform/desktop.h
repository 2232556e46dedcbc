// The user's desktop as seen from inside the add-in: whether there is a display, running a helper program of
// ours until it ends, and handing a file to the desktop's own application for it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace veltrano::platform {

// True when a graphical session is reachable: DISPLAY or WAYLAND_DISPLAY is set and not empty.
bool HasDisplay();

// Starts a program with the given arguments (the program's own name is passed as argument zero) and waits
// until it ends. Returns its exit status, or -1 when it could not be started or was ended by a signal.
int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments);

// Opens a file with the desktop's default application for its kind (xdg-open). True when the desktop took
// it; the application may still be starting when this returns.
bool OpenWithDesktop(const std::filesystem::path& file);

} // namespace veltrano::platform

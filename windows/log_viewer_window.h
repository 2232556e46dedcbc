// The log viewer: the log folder's files, the chosen one as text in the chosen encoding, followed every
// second while it grows, and a button that opens the folder in the desktop's file manager.
#pragma once

#include "log_view.h"

#include <gtk/gtk.h>

#include <filesystem>
#include <functional>
#include <optional>

namespace veltrano::windows {

class LogViewerWindow {
public:
    // onClosed runs when the user closes the window; the owner then frees this object (not from inside it).
    LogViewerWindow(std::filesystem::path folder, std::function<void()> onClosed);
    ~LogViewerWindow();
    LogViewerWindow(const LogViewerWindow&) = delete;
    LogViewerWindow& operator=(const LogViewerWindow&) = delete;

    void Present();

private:
    static constexpr guint FollowIntervalMs = 1000;

    // Refills the file list, keeping the selected file when it is still there.
    void FillFiles();
    std::optional<std::filesystem::path> SelectedFile() const;
    void Load();
    void Follow();
    void OpenFolder();
    void Close();

    static void OnFileOrEncodingChanged(GtkComboBox*, gpointer self);
    static void OnPopupShown(GObject* combo, GParamSpec*, gpointer self);
    static gboolean OnFollowTimer(gpointer self);
    static gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer self);
    static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self);

    std::filesystem::path folder_;
    std::function<void()> onClosed_;
    std::vector<std::string> names_;
    std::optional<std::filesystem::file_time_type> lastWrite_;

    GtkWidget* window_ = nullptr;
    GtkWidget* files_ = nullptr;
    GtkWidget* encoding_ = nullptr;
    GtkWidget* text_ = nullptr;
    guint timer_ = 0;
    bool filling_ = false;
};

} // namespace veltrano::windows

#include "log_viewer_window.h"

#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

namespace veltrano::windows {
namespace {

constexpr int ClientWidth = 884;
constexpr int ClientHeight = 550;
constexpr int FileListWidth = 257;

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Asks the desktop to show the folder: through GIO as `gio open` does, else through xdg-open.
void ShowFolder(GtkWidget* parent, const std::filesystem::path& folder) {
    GFile* file = g_file_new_for_path(folder.c_str());
    gchar* uri = g_file_get_uri(file);
    g_object_unref(file);
    GError* error = nullptr;
    gboolean shown = g_app_info_launch_default_for_uri(uri, nullptr, &error);
    g_free(uri);
    if (!shown) {
        g_clear_error(&error);
        const gchar* argv[] = {"xdg-open", folder.c_str(), nullptr};
        shown = g_spawn_async(nullptr, const_cast<gchar**>(argv), nullptr, G_SPAWN_SEARCH_PATH, nullptr,
                              nullptr, nullptr, &error);
    }
    if (shown)
        return;
    GtkWidget* message = gtk_message_dialog_new(GTK_WINDOW(parent), GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
                                                GTK_BUTTONS_CLOSE, "Не удалось открыть папку %s: %s",
                                                folder.c_str(), error ? error->message : "");
    g_clear_error(&error);
    gtk_dialog_run(GTK_DIALOG(message));
    gtk_widget_destroy(message);
}

} // namespace

LogViewerWindow::LogViewerWindow(std::filesystem::path folder, std::function<void()> onClosed)
    : folder_(std::move(folder)), onClosed_(std::move(onClosed)) {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window_), "Просмотр лога");
    gtk_window_set_default_size(GTK_WINDOW(window_), ClientWidth, ClientHeight);
    gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
    g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);
    // Escape closes it, as it closes a dialog: the viewer is modal for the cashier's program.
    g_signal_connect(window_, "key-press-event", G_CALLBACK(OnKey), this);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_container_add(GTK_CONTAINER(window_), box);

    GtkWidget* bar = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
    gtk_container_set_border_width(GTK_CONTAINER(bar), 4);
    files_ = gtk_combo_box_text_new();
    gtk_widget_set_size_request(files_, FileListWidth, -1);
    g_signal_connect(files_, "changed", G_CALLBACK(OnFileOrEncodingChanged), this);
    g_signal_connect(files_, "notify::popup-shown", G_CALLBACK(OnPopupShown), this);
    gtk_box_pack_start(GTK_BOX(bar), files_, FALSE, FALSE, 0);

    GtkWidget* open = gtk_button_new_from_icon_name("folder-open-symbolic", GTK_ICON_SIZE_BUTTON);
    gtk_widget_set_tooltip_text(open, "Открыть папку логов");
    g_signal_connect_swapped(
        open, "clicked",
        G_CALLBACK(+[](gpointer self) { static_cast<LogViewerWindow*>(self)->OpenFolder(); }), this);
    gtk_box_pack_start(GTK_BOX(bar), open, FALSE, FALSE, 0);

    encoding_ = gtk_combo_box_text_new();
    for (std::string_view name : LogEncodingNames)
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(encoding_), std::string(name).c_str());
    gtk_combo_box_set_active(GTK_COMBO_BOX(encoding_), 0);
    g_signal_connect(encoding_, "changed", G_CALLBACK(OnFileOrEncodingChanged), this);
    gtk_box_pack_start(GTK_BOX(bar), encoding_, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), bar, FALSE, FALSE, 0);

    text_ = gtk_text_view_new();
    gtk_text_view_set_editable(GTK_TEXT_VIEW(text_), FALSE);
    gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(text_), TRUE);
    gtk_text_view_set_monospace(GTK_TEXT_VIEW(text_), TRUE);
    gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(text_), GTK_WRAP_NONE);
    gtk_text_view_set_left_margin(GTK_TEXT_VIEW(text_), 4);
    GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroll), GTK_POLICY_ALWAYS, GTK_POLICY_ALWAYS);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroll), GTK_SHADOW_IN);
    gtk_container_add(GTK_CONTAINER(scroll), text_);
    gtk_box_pack_start(GTK_BOX(box), scroll, TRUE, TRUE, 0);

    FillFiles();
    if (!names_.empty()) {
        filling_ = true;
        gtk_combo_box_set_active(GTK_COMBO_BOX(files_), static_cast<gint>(names_.size() - 1));
        filling_ = false;
    }
    Load();
    timer_ = g_timeout_add(FollowIntervalMs, OnFollowTimer, this);
    gtk_widget_show_all(window_);
}

LogViewerWindow::~LogViewerWindow() {
    if (timer_ != 0)
        g_source_remove(timer_);
    gtk_widget_destroy(window_);
}

void LogViewerWindow::Present() {
    gtk_window_deiconify(GTK_WINDOW(window_));
    gtk_window_present(GTK_WINDOW(window_));
}

void LogViewerWindow::FillFiles() {
    std::vector<std::string> names = ListLogFiles(folder_);
    if (names == names_)
        return;
    gchar* selected = gtk_combo_box_text_get_active_text(GTK_COMBO_BOX_TEXT(files_));
    const std::string keep = selected != nullptr ? selected : "";
    g_free(selected);
    filling_ = true;
    gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(files_));
    names_ = std::move(names);
    for (std::size_t i = 0; i < names_.size(); ++i) {
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(files_), names_[i].c_str());
        if (!keep.empty() && names_[i] == keep)
            gtk_combo_box_set_active(GTK_COMBO_BOX(files_), static_cast<gint>(i));
    }
    filling_ = false;
}

std::optional<std::filesystem::path> LogViewerWindow::SelectedFile() const {
    const gint active = gtk_combo_box_get_active(GTK_COMBO_BOX(files_));
    if (active < 0 || static_cast<std::size_t>(active) >= names_.size())
        return std::nullopt;
    return folder_ / names_[static_cast<std::size_t>(active)];
}

void LogViewerWindow::Load() {
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(text_));
    const std::optional<std::filesystem::path> file = SelectedFile();
    if (!file) {
        lastWrite_.reset();
        gtk_text_buffer_set_text(buffer, "", 0);
        return;
    }
    std::error_code error;
    const auto written = std::filesystem::last_write_time(*file, error);
    lastWrite_ = error ? std::nullopt : std::optional(written);
    const auto encoding =
        static_cast<LogEncoding>(std::max(0, gtk_combo_box_get_active(GTK_COMBO_BOX(encoding_))));
    const std::string text = DecodeLogText(ReadBytes(*file), encoding);
    gtk_text_buffer_set_text(buffer, text.data(), static_cast<gint>(text.size()));
    GtkTextIter start;
    gtk_text_buffer_get_start_iter(buffer, &start);
    gtk_text_buffer_place_cursor(buffer, &start);
}

void LogViewerWindow::Follow() {
    const std::optional<std::filesystem::path> file = SelectedFile();
    if (!file)
        return;
    std::error_code error;
    const auto written = std::filesystem::last_write_time(*file, error);
    if (error || (lastWrite_ && written <= *lastWrite_))
        return;

    GtkTextView* view = GTK_TEXT_VIEW(text_);
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(view);
    GtkTextIter caret;
    gtk_text_buffer_get_iter_at_mark(buffer, &caret, gtk_text_buffer_get_insert(buffer));
    const gint caretOffset = gtk_text_iter_get_offset(&caret);
    // Where the reader is looking: the top line in view, or the end when the reader follows the end.
    GtkAdjustment* vertical = gtk_scrollable_get_vadjustment(GTK_SCROLLABLE(view));
    const bool atEnd = gtk_adjustment_get_value(vertical) + gtk_adjustment_get_page_size(vertical) >=
                       gtk_adjustment_get_upper(vertical) - 1;
    GdkRectangle visible;
    gtk_text_view_get_visible_rect(view, &visible);
    GtkTextIter top;
    gtk_text_view_get_line_at_y(view, &top, visible.y, nullptr);
    const gint topOffset = gtk_text_iter_get_offset(&top);

    Load();

    gtk_text_buffer_get_iter_at_offset(buffer, &caret, caretOffset);
    gtk_text_buffer_place_cursor(buffer, &caret);
    GtkTextIter anchor;
    if (atEnd)
        gtk_text_buffer_get_end_iter(buffer, &anchor);
    else
        gtk_text_buffer_get_iter_at_offset(buffer, &anchor, topOffset);
    GtkTextMark* mark = gtk_text_buffer_create_mark(buffer, nullptr, &anchor, FALSE);
    gtk_text_view_scroll_to_mark(view, mark, 0, TRUE, 0, atEnd ? 1.0 : 0.0);
    gtk_text_buffer_delete_mark(buffer, mark);
    gtk_widget_grab_focus(text_);
}

void LogViewerWindow::OpenFolder() {
    ShowFolder(window_, folder_);
}

void LogViewerWindow::Close() {
    if (timer_ != 0)
        g_source_remove(timer_);
    timer_ = 0;
    gtk_widget_hide(window_);
    onClosed_();
}

void LogViewerWindow::OnFileOrEncodingChanged(GtkComboBox*, gpointer self) {
    auto* window = static_cast<LogViewerWindow*>(self);
    if (!window->filling_)
        window->Load();
}

void LogViewerWindow::OnPopupShown(GObject* combo, GParamSpec*, gpointer self) {
    gboolean shown = FALSE;
    g_object_get(combo, "popup-shown", &shown, nullptr);
    if (shown)
        static_cast<LogViewerWindow*>(self)->FillFiles();
}

gboolean LogViewerWindow::OnFollowTimer(gpointer self) {
    static_cast<LogViewerWindow*>(self)->Follow();
    return G_SOURCE_CONTINUE;
}

gboolean LogViewerWindow::OnKey(GtkWidget*, GdkEventKey* event, gpointer self) {
    if (event->keyval != GDK_KEY_Escape)
        return FALSE;
    static_cast<LogViewerWindow*>(self)->Close();
    return TRUE;
}

gboolean LogViewerWindow::OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
    static_cast<LogViewerWindow*>(self)->Close();
    return TRUE;
}

} // namespace veltrano::windows

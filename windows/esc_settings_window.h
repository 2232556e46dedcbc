// The ESC code settings window: a printer model list and the 21 codes of the chosen model, ready to be copied
// into the device settings. It changes no setting; its only output is the clipboard.
#pragma once

#include "esc_settings.h"

#include <gtk/gtk.h>

#include <functional>

namespace veltrano::windows {

class EscSettingsWindow {
public:
    // onClosed runs when the user closes the window; the owner then frees this object (not from inside it).
    EscSettingsWindow(std::vector<window_protocol::PrinterModel> models, std::function<void()> onClosed);
    ~EscSettingsWindow();
    EscSettingsWindow(const EscSettingsWindow&) = delete;
    EscSettingsWindow& operator=(const EscSettingsWindow&) = delete;

    // Brings the window forward, restoring it when minimised.
    void Present();

private:
    GtkWidget* BuildGrid();
    void Refresh();
    void Copy();
    void Close();

    static void OnModelChanged(GtkComboBox* combo, gpointer self);
    static void OnValueEdited(GtkCellRendererText*, gchar* path, gchar* text, gpointer self);
    static gboolean OnGridButton(GtkWidget* grid, GdkEventButton* event, gpointer self);
    static gboolean OnGridKey(GtkWidget* grid, GdkEventKey* event, gpointer self);
    static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self);

    EscSettings state_;
    std::function<void()> onClosed_;
    GtkWidget* window_ = nullptr;
    GtkWidget* models_ = nullptr;
    GtkListStore* rows_ = nullptr;
    GtkWidget* grid_ = nullptr;
    GtkTreeViewColumn* nameColumn_ = nullptr;
    GtkCellRenderer* valueCell_ = nullptr;
    GtkWidget* menu_ = nullptr;
    // True while the window itself changes the list or the grid, so that its own changes are not edits.
    bool updating_ = false;
};

} // namespace veltrano::windows

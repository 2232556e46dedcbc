#include "esc_settings_window.h"

#include <string>

namespace veltrano::windows {
namespace {

enum Column { NameColumn, ValueColumn };

constexpr int ClientWidth = 490;
constexpr int ClientHeight = 526;
constexpr int NameWidth = 164;
constexpr int ValueWidth = 303;

// Fixed cells look like the face of a button: the theme's window background a shade darker (light themes
// keep it too close to the white of the grid to tell apart) and the theme's text colour.
void FixedCellColours(GtkWidget* widget, GdkRGBA& background, GdkRGBA& text) {
    GtkStyleContext* style = gtk_widget_get_style_context(widget);
    if (!gtk_style_context_lookup_color(style, "theme_bg_color", &background))
        gdk_rgba_parse(&background, "#f0f0f0");
    if (!gtk_style_context_lookup_color(style, "theme_fg_color", &text))
        gdk_rgba_parse(&text, "#000000");
    constexpr double Shade = 0.95;
    background.red *= Shade;
    background.green *= Shade;
    background.blue *= Shade;
}

GtkWidget* Caption(const char* text) {
    GtkWidget* label = gtk_label_new(text);
    gtk_widget_set_halign(label, GTK_ALIGN_START);
    return label;
}

} // namespace

EscSettingsWindow::EscSettingsWindow(std::vector<window_protocol::PrinterModel> models,
                                     std::function<void()> onClosed)
    : state_(std::move(models)), onClosed_(std::move(onClosed)) {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window_), "Настройка ESC-кодов");
    gtk_window_set_default_size(GTK_WINDOW(window_), ClientWidth, ClientHeight);
    GdkGeometry hints{};
    hints.min_width = 200;
    hints.min_height = 300;
    gtk_window_set_geometry_hints(GTK_WINDOW(window_), nullptr, &hints, GDK_HINT_MIN_SIZE);
    gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
    gtk_window_set_keep_above(GTK_WINDOW(window_), TRUE);
    g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
    gtk_container_set_border_width(GTK_CONTAINER(box), 8);
    gtk_container_add(GTK_CONTAINER(window_), box);

    gtk_box_pack_start(GTK_BOX(box), Caption("Модель принтера:"), FALSE, FALSE, 0);
    models_ = gtk_combo_box_text_new();
    for (const EscListItem& item : state_.Items())
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(models_), item.Name.c_str());
    g_signal_connect(models_, "changed", G_CALLBACK(OnModelChanged), this);
    gtk_box_pack_start(GTK_BOX(box), models_, FALSE, FALSE, 0);

    GtkWidget* codes = Caption("ESC-коды:");
    gtk_widget_set_margin_top(codes, 6);
    gtk_box_pack_start(GTK_BOX(box), codes, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), BuildGrid(), TRUE, TRUE, 0);

    GtkWidget* buttons = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
    gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_END);
    gtk_widget_set_margin_top(buttons, 4);
    GtkWidget* close = gtk_button_new_with_label("Закрыть");
    g_signal_connect_swapped(
        close, "clicked", G_CALLBACK(+[](gpointer self) { static_cast<EscSettingsWindow*>(self)->Close(); }),
        this);
    gtk_container_add(GTK_CONTAINER(buttons), close);
    gtk_box_pack_start(GTK_BOX(box), buttons, FALSE, FALSE, 0);

    menu_ = gtk_menu_new();
    GtkWidget* copy = gtk_menu_item_new_with_label("Копировать");
    g_signal_connect_swapped(
        copy, "activate", G_CALLBACK(+[](gpointer self) { static_cast<EscSettingsWindow*>(self)->Copy(); }),
        this);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu_), copy);
    gtk_widget_show_all(menu_);
    gtk_menu_attach_to_widget(GTK_MENU(menu_), grid_, nullptr);

    Refresh();
    gtk_widget_show_all(window_);
}

EscSettingsWindow::~EscSettingsWindow() {
    gtk_widget_destroy(window_);
}

GtkWidget* EscSettingsWindow::BuildGrid() {
    rows_ = gtk_list_store_new(2, G_TYPE_STRING, G_TYPE_STRING);
    for (std::string_view name : window_protocol::EscFunctionTitles) {
        const std::string title(name);
        gtk_list_store_insert_with_values(rows_, nullptr, -1, NameColumn, title.c_str(), ValueColumn, "", -1);
    }
    grid_ = gtk_tree_view_new_with_model(GTK_TREE_MODEL(rows_));
    g_object_unref(rows_);
    gtk_tree_view_set_grid_lines(GTK_TREE_VIEW(grid_), GTK_TREE_VIEW_GRID_LINES_BOTH);
    gtk_tree_view_set_enable_search(GTK_TREE_VIEW(grid_), FALSE);
    gtk_widget_set_tooltip_text(grid_, "ESC-коды принтера");

    GdkRGBA background;
    GdkRGBA text;
    FixedCellColours(grid_, background, text);

    GtkCellRenderer* name = gtk_cell_renderer_text_new();
    g_object_set(name, "cell-background-rgba", &background, "foreground-rgba", &text, "xpad", 2, nullptr);
    nameColumn_ = gtk_tree_view_column_new_with_attributes("Функция", name, "text", NameColumn, nullptr);
    gtk_tree_view_column_set_sizing(nameColumn_, GTK_TREE_VIEW_COLUMN_FIXED);
    gtk_tree_view_column_set_fixed_width(nameColumn_, NameWidth);
    gtk_tree_view_column_set_resizable(nameColumn_, TRUE);
    gtk_tree_view_append_column(GTK_TREE_VIEW(grid_), nameColumn_);

    valueCell_ = gtk_cell_renderer_text_new();
    g_object_set(valueCell_, "editable", TRUE, "cell-background-rgba", &background, "foreground-rgba", &text,
                 "xpad", 2, nullptr);
    g_signal_connect(valueCell_, "edited", G_CALLBACK(OnValueEdited), this);
    GtkTreeViewColumn* value =
        gtk_tree_view_column_new_with_attributes("ESC-код", valueCell_, "text", ValueColumn, nullptr);
    gtk_tree_view_column_set_sizing(value, GTK_TREE_VIEW_COLUMN_FIXED);
    gtk_tree_view_column_set_fixed_width(value, ValueWidth);
    gtk_tree_view_append_column(GTK_TREE_VIEW(grid_), value);

    g_signal_connect(grid_, "button-press-event", G_CALLBACK(OnGridButton), this);
    g_signal_connect(grid_, "key-press-event", G_CALLBACK(OnGridKey), this);

    GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroll), GTK_POLICY_AUTOMATIC, GTK_POLICY_ALWAYS);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroll), GTK_SHADOW_IN);
    gtk_container_add(GTK_CONTAINER(scroll), grid_);
    return scroll;
}

void EscSettingsWindow::Present() {
    gtk_window_deiconify(GTK_WINDOW(window_));
    gtk_window_present(GTK_WINDOW(window_));
}

void EscSettingsWindow::Refresh() {
    updating_ = true;
    gtk_combo_box_set_active(GTK_COMBO_BOX(models_), static_cast<gint>(state_.Selected()));
    GtkTreeIter row;
    gboolean more = gtk_tree_model_get_iter_first(GTK_TREE_MODEL(rows_), &row);
    for (const std::string& value : state_.Values()) {
        if (!more)
            break;
        gtk_list_store_set(rows_, &row, ValueColumn, value.c_str(), -1);
        more = gtk_tree_model_iter_next(GTK_TREE_MODEL(rows_), &row);
    }
    // A model's own codes are shown like the titles; codes typed by hand look like an ordinary entry.
    const gboolean fixed = state_.ModelShown() ? TRUE : FALSE;
    g_object_set(valueCell_, "cell-background-set", fixed, "foreground-set", fixed, nullptr);
    gtk_widget_queue_draw(grid_);
    updating_ = false;
}

void EscSettingsWindow::Copy() {
    GtkTreePath* path = nullptr;
    GtkTreeViewColumn* column = nullptr;
    gtk_tree_view_get_cursor(GTK_TREE_VIEW(grid_), &path, &column);
    if (path == nullptr)
        return;
    GtkTreeIter row;
    if (gtk_tree_model_get_iter(GTK_TREE_MODEL(rows_), &row, path)) {
        gchar* text = nullptr;
        gtk_tree_model_get(GTK_TREE_MODEL(rows_), &row, column == nameColumn_ ? NameColumn : ValueColumn,
                           &text, -1);
        gtk_clipboard_set_text(gtk_widget_get_clipboard(grid_, GDK_SELECTION_CLIPBOARD), text ? text : "",
                               -1);
        g_free(text);
    }
    gtk_tree_path_free(path);
}

void EscSettingsWindow::Close() {
    gtk_widget_hide(window_);
    onClosed_();
}

void EscSettingsWindow::OnModelChanged(GtkComboBox* combo, gpointer self) {
    auto* window = static_cast<EscSettingsWindow*>(self);
    const gint active = gtk_combo_box_get_active(combo);
    if (window->updating_ || active < 0)
        return;
    window->state_.Choose(static_cast<std::size_t>(active));
    window->Refresh();
}

void EscSettingsWindow::OnValueEdited(GtkCellRendererText*, gchar* path, gchar* text, gpointer self) {
    auto* window = static_cast<EscSettingsWindow*>(self);
    GtkTreeIter row;
    if (!gtk_tree_model_get_iter_from_string(GTK_TREE_MODEL(window->rows_), &row, path))
        return;
    GtkTreePath* treePath = gtk_tree_model_get_path(GTK_TREE_MODEL(window->rows_), &row);
    const gint index = gtk_tree_path_get_indices(treePath)[0];
    gtk_tree_path_free(treePath);
    const std::string value = text != nullptr ? text : "";
    // Leaving a cell without changing it is no edit.
    if (window->state_.Values()[static_cast<std::size_t>(index)] == value)
        return;
    window->state_.Edit(static_cast<std::size_t>(index), value);
    window->Refresh();
}

gboolean EscSettingsWindow::OnGridButton(GtkWidget* grid, GdkEventButton* event, gpointer self) {
    if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_SECONDARY)
        return FALSE;
    GtkTreePath* path = nullptr;
    GtkTreeViewColumn* column = nullptr;
    if (gtk_tree_view_get_path_at_pos(GTK_TREE_VIEW(grid), static_cast<gint>(event->x),
                                      static_cast<gint>(event->y), &path, &column, nullptr, nullptr)) {
        gtk_tree_view_set_cursor(GTK_TREE_VIEW(grid), path, column, FALSE);
        gtk_tree_path_free(path);
    }
    gtk_menu_popup_at_pointer(GTK_MENU(static_cast<EscSettingsWindow*>(self)->menu_),
                              reinterpret_cast<GdkEvent*>(event));
    return TRUE;
}

gboolean EscSettingsWindow::OnGridKey(GtkWidget*, GdkEventKey* event, gpointer self) {
    const bool control = (event->state & GDK_CONTROL_MASK) != 0;
    if (control &&
        (event->keyval == GDK_KEY_c || event->keyval == GDK_KEY_C || event->keyval == GDK_KEY_Insert)) {
        static_cast<EscSettingsWindow*>(self)->Copy();
        return TRUE;
    }
    return FALSE;
}

gboolean EscSettingsWindow::OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
    static_cast<EscSettingsWindow*>(self)->Close();
    return TRUE;
}

} // namespace veltrano::windows

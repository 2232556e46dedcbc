#include "preview_window.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace veltrano::windows {
namespace {

enum Column { CaptionColumn, NumberColumn, DocumentColumn };

constexpr int DesignClientWidth = 411;
constexpr int DesignClientHeight = 540;
constexpr int ListHeight = 82;
constexpr int ListColumnWidth = 150;
// The picture is drawn from 5 pixels in and stretched by 5 pixels, as the paper is a little wider than a
// line.
constexpr int CanvasLeft = 5;
constexpr int CanvasStretch = 5;
constexpr int CanvasExtraWidth = 10;

guint PeriodMs(int mode, std::optional<double> testPeriodSeconds) {
    int seconds = 0;
    if (mode == 3)
        seconds = 15;
    else if (mode == 4)
        seconds = 30;
    else if (mode == 5)
        seconds = 60;
    if (seconds == 0)
        return 0;
    if (testPeriodSeconds)
        return static_cast<guint>(std::max(1.0, *testPeriodSeconds * 1000.0));
    return static_cast<guint>(seconds) * 1000;
}

GdkRectangle WorkArea(GtkWidget* window) {
    GdkDisplay* display = gtk_widget_get_display(window);
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (monitor == nullptr)
        monitor = gdk_display_get_monitor(display, 0);
    GdkRectangle area{0, 0, DesignClientWidth, DesignClientHeight};
    if (monitor != nullptr)
        gdk_monitor_get_workarea(monitor, &area);
    return area;
}

std::uint32_t Rgb(const window_protocol::Picture& picture, std::uint32_t x, std::uint32_t y) {
    if (picture.BitsPerPixel == 8) {
        const std::uint32_t grey = picture.Pixels[static_cast<std::size_t>(y) * picture.Width + x];
        return grey << 16 | grey << 8 | grey;
    }
    return window_protocol::IsDark(picture, x, y) ? 0x000000 : 0xFFFFFF;
}

} // namespace

PreviewWindow::PreviewWindow(int mode, std::optional<double> testPeriodSeconds)
    : periodMs_(PeriodMs(mode, testPeriodSeconds)) {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window_), "Содержимое чека");
    gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_UTILITY);
    gtk_window_set_keep_above(GTK_WINDOW(window_), TRUE);
    // A document appearing must not take the keyboard from the cashier's program.
    gtk_window_set_focus_on_map(GTK_WINDOW(window_), FALSE);
    gtk_window_set_default_size(GTK_WINDOW(window_), DesignClientWidth, DesignClientHeight);
    g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);
    g_signal_connect(window_, "map-event", G_CALLBACK(OnMapped), this);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_container_add(GTK_CONTAINER(window_), box);
    BuildList(box);
    gtk_box_pack_start(GTK_BOX(box), gtk_separator_new(GTK_ORIENTATION_HORIZONTAL), FALSE, FALSE, 0);
    BuildCanvas(box);
    gtk_widget_show_all(box);
    SetOpacity(opacity_);
}

PreviewWindow::~PreviewWindow() {
    StopTimer();
    StopFade();
    gtk_widget_destroy(window_);
}

void PreviewWindow::BuildList(GtkWidget* box) {
    rows_ = gtk_list_store_new(3, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_UINT);
    list_ = gtk_tree_view_new_with_model(GTK_TREE_MODEL(rows_));
    g_object_unref(rows_);
    gtk_tree_view_set_grid_lines(GTK_TREE_VIEW(list_), GTK_TREE_VIEW_GRID_LINES_BOTH);
    gtk_tree_view_set_enable_search(GTK_TREE_VIEW(list_), FALSE);
    const char* titles[] = {"Документ", "№ документа"};
    for (int column = CaptionColumn; column <= NumberColumn; ++column) {
        GtkCellRenderer* renderer = gtk_cell_renderer_text_new();
        g_object_set(renderer, "ellipsize", PANGO_ELLIPSIZE_END, nullptr);
        GtkTreeViewColumn* view =
            gtk_tree_view_column_new_with_attributes(titles[column], renderer, "text", column, nullptr);
        gtk_tree_view_column_set_sizing(view, GTK_TREE_VIEW_COLUMN_FIXED);
        gtk_tree_view_column_set_fixed_width(view, ListColumnWidth);
        gtk_tree_view_column_set_resizable(view, TRUE);
        // The number takes what the caption leaves, so that a narrow window does not cut it off.
        gtk_tree_view_column_set_expand(view, column == NumberColumn ? TRUE : FALSE);
        gtk_tree_view_append_column(GTK_TREE_VIEW(list_), view);
    }
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(list_));
    gtk_tree_selection_set_mode(selection, GTK_SELECTION_SINGLE);
    g_signal_connect(selection, "changed", G_CALLBACK(OnSelectionChanged), this);

    listScroll_ = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(listScroll_), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_widget_set_size_request(listScroll_, -1, ListHeight);
    gtk_container_add(GTK_CONTAINER(listScroll_), list_);
    gtk_box_pack_start(GTK_BOX(box), listScroll_, FALSE, FALSE, 0);
}

void PreviewWindow::BuildCanvas(GtkWidget* box) {
    // A layout rather than a drawing area: a document of thousands of lines is taller than any window may be,
    // and only the visible band is ever drawn.
    canvas_ = gtk_layout_new(nullptr, nullptr);
    g_signal_connect(canvas_, "draw", G_CALLBACK(OnDraw), this);
    canvasScroll_ = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(canvasScroll_), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_container_add(GTK_CONTAINER(canvasScroll_), canvas_);
    gtk_box_pack_start(GTK_BOX(box), canvasScroll_, TRUE, TRUE, 0);
}

void PreviewWindow::Place(const window_protocol::PreviewPlace& place) {
    opacity_ = std::clamp(place.Opacity, 1, 255);
    if (fade_ == 0)
        SetOpacity(opacity_);
    clientWidth_ = std::max(place.ClientWidth, 1);
    heightMargin_ = std::max(place.ScreenHeightMargin, 0);
    // The toolkit's minimum is for the client area, the frame is the desktop's: the width asked for is the
    // least the client may shrink to.
    minClientWidth_ = std::clamp(place.MinWindowWidth, 1, clientWidth_);
    GdkGeometry hints{};
    hints.min_width = minClientWidth_;
    hints.min_height = ListHeight + 40;
    gtk_window_set_geometry_hints(GTK_WINDOW(window_), nullptr, &hints, GDK_HINT_MIN_SIZE);
    const GdkRectangle area = WorkArea(window_);
    const int height = std::max(area.height - heightMargin_, hints.min_height);
    gtk_window_set_default_size(GTK_WINDOW(window_), clientWidth_, height);
    gtk_window_resize(GTK_WINDOW(window_), clientWidth_, height);
    if (gtk_widget_get_visible(window_))
        MoveToRightEdge();
}

void PreviewWindow::AddDocument(window_protocol::PreviewDocument document) {
    const auto index = static_cast<guint>(documents_.size());
    documents_.push_back(std::move(document.Drawing));
    GtkTreeIter row;
    gtk_list_store_insert_with_values(rows_, &row, -1, CaptionColumn, document.Caption.c_str(), NumberColumn,
                                      document.Number.c_str(), DocumentColumn, index, -1);
    stopClosing_ = true;
    gtk_tree_selection_select_iter(gtk_tree_view_get_selection(GTK_TREE_VIEW(list_)), &row);
    GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(rows_), &row);
    gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(list_), path, nullptr, FALSE, 0, 0);
    gtk_tree_path_free(path);
    if (!gtk_widget_get_visible(window_))
        Show();
}

void PreviewWindow::Show() {
    MoveToRightEdge();
    gtk_widget_show(window_);
    SetOpacity(opacity_);
    gtk_window_set_keep_above(GTK_WINDOW(window_), TRUE);
    StartTimer();
}

void PreviewWindow::MoveToRightEdge() {
    int width = 0;
    int height = 0;
    gtk_window_get_size(GTK_WINDOW(window_), &width, &height);
    // Once the desktop has framed the window its outer size is known; the edge is the frame's.
    if (GdkWindow* own = gtk_widget_get_window(window_); own != nullptr && gtk_widget_get_mapped(window_)) {
        GdkRectangle frame;
        gdk_window_get_frame_extents(own, &frame);
        width = std::max(width, frame.width);
        height = std::max(height, frame.height);
    }
    const GdkRectangle area = WorkArea(window_);
    const int left = area.x + area.width - width;
    const int top = area.y + static_cast<int>(std::lround(area.height / 2.0)) -
                    static_cast<int>(std::lround(height / 2.0));
    gtk_window_move(GTK_WINDOW(window_), left, top);
}

void PreviewWindow::Hide() {
    StopTimer();
    StopFade();
    gtk_widget_hide(window_);
    SetOpacity(opacity_);
}

void PreviewWindow::StartTimer() {
    StopTimer();
    if (periodMs_ > 0)
        timer_ = g_timeout_add(periodMs_, OnTimer, this);
}

void PreviewWindow::StopTimer() {
    if (timer_ != 0)
        g_source_remove(timer_);
    timer_ = 0;
}

void PreviewWindow::StopFade() {
    if (fade_ != 0)
        g_source_remove(fade_);
    fade_ = 0;
}

void PreviewWindow::SetOpacity(int opacity) {
    const double alpha = opacity / 255.0;
    gtk_widget_set_opacity(window_, alpha);
    // The toolkit hands the opacity to the display only when it changes, so a window realized after it was
    // set would come up opaque.
    if (GdkWindow* own = gtk_widget_get_window(window_))
        gdk_window_set_opacity(own, alpha);
}

void PreviewWindow::Select(std::size_t document) {
    shown_ = document;
    const window_protocol::Picture& picture = documents_[document];
    gtk_layout_set_size(GTK_LAYOUT(canvas_), picture.Width + CanvasExtraWidth, picture.Height);
    // A document is read from its top.
    gtk_adjustment_set_value(gtk_scrollable_get_vadjustment(GTK_SCROLLABLE(canvas_)), 0);
    gtk_widget_queue_draw(canvas_);
}

void PreviewWindow::Paint(cairo_t* cr) {
    GdkRectangle clip;
    if (!gdk_cairo_get_clip_rectangle(cr, &clip))
        return;
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    if (!shown_)
        return;
    const window_protocol::Picture& picture = documents_[*shown_];
    const int first = std::max(clip.y, 0);
    const int last = std::min<long long>(static_cast<long long>(clip.y) + clip.height, picture.Height);
    if (picture.Width == 0 || last <= first)
        return;

    // Only the rows in view become a surface; the stored picture keeps its own compact form.
    const int width = static_cast<int>(picture.Width);
    cairo_surface_t* band = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, last - first);
    if (cairo_surface_status(band) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(band);
        return;
    }
    cairo_surface_flush(band);
    unsigned char* data = cairo_image_surface_get_data(band);
    const int stride = cairo_image_surface_get_stride(band);
    for (int y = first; y < last; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y - first) * stride);
        for (int x = 0; x < width; ++x)
            row[x] = Rgb(picture, static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
    }
    cairo_surface_mark_dirty(band);

    cairo_save(cr);
    cairo_translate(cr, CanvasLeft, first);
    cairo_scale(cr, static_cast<double>(width + CanvasStretch) / width, 1.0);
    cairo_set_source_surface(cr, band, 0, 0);
    // Printed dots stay sharp: no smoothing between black and white.
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, 0, 0, width, last - first);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_surface_destroy(band);
}

gboolean PreviewWindow::OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
    static_cast<PreviewWindow*>(self)->Hide();
    return TRUE;
}

gboolean PreviewWindow::OnMapped(GtkWidget*, GdkEvent*, gpointer self) {
    static_cast<PreviewWindow*>(self)->MoveToRightEdge();
    return FALSE;
}

void PreviewWindow::OnSelectionChanged(GtkTreeSelection* selection, gpointer self) {
    GtkTreeModel* model = nullptr;
    GtkTreeIter row;
    if (!gtk_tree_selection_get_selected(selection, &model, &row))
        return;
    guint document = 0;
    gtk_tree_model_get(model, &row, DocumentColumn, &document, -1);
    auto* preview = static_cast<PreviewWindow*>(self);
    if (document < preview->documents_.size())
        preview->Select(document);
}

gboolean PreviewWindow::OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self) {
    GdkWindow* bin = gtk_layout_get_bin_window(GTK_LAYOUT(widget));
    if (!gtk_cairo_should_draw_window(cr, bin))
        return FALSE;
    cairo_save(cr);
    gtk_cairo_transform_to_window(cr, widget, bin);
    static_cast<PreviewWindow*>(self)->Paint(cr);
    cairo_restore(cr);
    return TRUE;
}

gboolean PreviewWindow::OnTimer(gpointer self) {
    auto* preview = static_cast<PreviewWindow*>(self);
    preview->timer_ = 0;
    preview->stopClosing_ = false;
    preview->fadeValue_ = preview->opacity_;
    preview->fade_ = g_timeout_add(FadeIntervalMs, OnFadeStep, preview);
    return G_SOURCE_REMOVE;
}

gboolean PreviewWindow::OnFadeStep(gpointer self) {
    auto* preview = static_cast<PreviewWindow*>(self);
    if (preview->stopClosing_) {
        preview->fade_ = 0;
        preview->SetOpacity(preview->opacity_);
        preview->StartTimer();
        return G_SOURCE_REMOVE;
    }
    preview->fadeValue_ -= FadeStep;
    if (preview->fadeValue_ > 0) {
        preview->SetOpacity(preview->fadeValue_);
        return G_SOURCE_CONTINUE;
    }
    preview->fade_ = 0;
    preview->Hide();
    return G_SOURCE_REMOVE;
}

} // namespace veltrano::windows

// The receipt preview: the list of documents shown since the window was created and the selected document's
// picture, at the right edge of the screen; in modes 3 to 5 it fades out and hides a while after being shown.
#pragma once

#include "common/window_protocol.h"

#include <gtk/gtk.h>

#include <optional>
#include <vector>

namespace veltrano::windows {

class PreviewWindow {
public:
    // mode is the device's ShowReceiptForm; a test period, when given, replaces the 15, 30 or 60 seconds.
    PreviewWindow(int mode, std::optional<double> testPeriodSeconds);
    ~PreviewWindow();
    PreviewWindow(const PreviewWindow&) = delete;
    PreviewWindow& operator=(const PreviewWindow&) = delete;

    void Place(const window_protocol::PreviewPlace& place);
    // Lists the document, selects it (which draws it), stops a fade in progress and shows the window if
    // hidden.
    void AddDocument(window_protocol::PreviewDocument document);

private:
    static constexpr int DesignOpacity = 235;
    static constexpr int FadeStep = 8;
    static constexpr guint FadeIntervalMs = 100;

    void BuildList(GtkWidget* box);
    void BuildCanvas(GtkWidget* box);
    void Show();
    void MoveToRightEdge();
    void Hide();
    void StartTimer();
    void StopTimer();
    void StopFade();
    void SetOpacity(int opacity);
    void Select(std::size_t document);
    void Paint(cairo_t* cr);

    static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self);
    static gboolean OnMapped(GtkWidget*, GdkEvent*, gpointer self);
    static void OnSelectionChanged(GtkTreeSelection* selection, gpointer self);
    static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
    static gboolean OnTimer(gpointer self);
    static gboolean OnFadeStep(gpointer self);

    guint periodMs_ = 0;
    int opacity_ = DesignOpacity;
    int clientWidth_ = 0;
    int heightMargin_ = -1;
    int minClientWidth_ = 0;

    GtkWidget* window_ = nullptr;
    GtkListStore* rows_ = nullptr;
    GtkWidget* list_ = nullptr;
    GtkWidget* listScroll_ = nullptr;
    GtkWidget* canvas_ = nullptr;
    GtkWidget* canvasScroll_ = nullptr;

    std::vector<window_protocol::Picture> documents_;
    std::optional<std::size_t> shown_;

    guint timer_ = 0;
    guint fade_ = 0;
    int fadeValue_ = 0;
    // Set by every new document; a fade that finds it set stops and the window stays.
    bool stopClosing_ = false;
};

} // namespace veltrano::windows

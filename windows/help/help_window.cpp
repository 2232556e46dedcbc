// veltrano-help PAGE CAPTION: shows a local HTML page in a 633 × 425 window under the caption and returns
// when the window is closed. Exit status 0 after the window was shown and closed; 2 when it could not be
// shown (no display, bad arguments), so that the caller can fall back to the desktop's browser.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

namespace {

constexpr int kWidth = 633;
constexpr int kHeight = 425;
constexpr int kCannotShow = 2;

// Links that lead off the page (web addresses, mail) go to the desktop's applications; the view shows only
// the local page and what lies beside it.
gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                        gpointer window) {
    const bool navigation = type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION;
    if (!navigation && type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION)
        return FALSE;
    WebKitNavigationAction* action =
        webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    const gchar* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    const bool local = uri != nullptr && g_str_has_prefix(uri, "file:");
    if (local && navigation)
        return FALSE;
    if (uri != nullptr && !local)
        gtk_show_uri_on_window(GTK_WINDOW(window), uri, GDK_CURRENT_TIME, nullptr);
    webkit_policy_decision_ignore(decision);
    return TRUE;
}

gboolean OnKeyPress(GtkWidget* window, GdkEventKey* event, gpointer) {
    if (event->keyval != GDK_KEY_Escape)
        return FALSE;
    gtk_widget_destroy(window);
    return TRUE;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 || !gtk_init_check(&argc, &argv))
        return kCannotShow;
    GError* error = nullptr;
    gchar* uri = g_filename_to_uri(argv[1], nullptr, &error);
    if (uri == nullptr) {
        g_printerr("veltrano-help: %s\n", error->message);
        g_error_free(error);
        return kCannotShow;
    }

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), argv[2]);
    gtk_window_set_default_size(GTK_WINDOW(window), kWidth, kHeight);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    g_signal_connect(window, "key-press-event", G_CALLBACK(OnKeyPress), nullptr);

    GtkWidget* view = webkit_web_view_new();
    // The page is our own manual: it needs no scripts.
    webkit_settings_set_enable_javascript(webkit_web_view_get_settings(WEBKIT_WEB_VIEW(view)), FALSE);
    g_signal_connect(view, "decide-policy", G_CALLBACK(OnDecidePolicy), window);
    gtk_container_add(GTK_CONTAINER(window), view);
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), uri);
    g_free(uri);

    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}

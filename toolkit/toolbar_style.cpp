// SPDX-License-Identifier: MIT
#include "toolbar_style.h"

#include <gtk/gtk.h>
#include <wx/window.h>

namespace kwirl {

namespace {
constexpr const char* kToolbarName = "kwirl-toolbar";
constexpr const char* kCompactCss =
    "#kwirl-toolbar button { padding: 0px 1px; min-height: 0px; min-width: 0px; }"
    "#kwirl-toolbar combobox button { padding: 0px 2px; }"
    "#kwirl-toolbar combobox box, #kwirl-toolbar combobox cellview { min-height: 0px; padding: 0px; }"
    "#kwirl-toolbar combobox arrow { min-height: 0px; min-width: 10px; }"
    // The vertical bars fill their whole width, as bars, not as thin lines.
    "progressbar.vertical trough, progressbar.vertical progress { min-width: 19px; }";
}  // namespace

void installCompactToolbarStyle() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, kCompactCss, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

void markAsToolbar(wxWindow* panel) { gtk_widget_set_name(static_cast<GtkWidget*>(panel->GetHandle()), kToolbarName); }

}  // namespace kwirl

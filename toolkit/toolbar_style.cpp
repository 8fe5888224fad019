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
    // The keyboard's place is plain on every control, on light and dark themes
    // alike: the theme's colour of a selection, in place of its faint dotted line.
    "#kwirl-toolbar button:focus, #kwirl-toolbar combobox button:focus {"
    " outline: 2px solid @theme_selected_bg_color; outline-offset: -2px; }"
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

bool showThemeIcon(wxWindow* button, const char* iconName) {
    auto* widget = static_cast<GtkWidget*>(button->GetHandle());
    if (!GTK_IS_BUTTON(widget) || !gtk_icon_theme_has_icon(gtk_icon_theme_get_default(), iconName)) return false;
    // An image of the icon's name, not of its pixels: the theme draws a
    // symbolic icon in the button's own text colour, and again when it changes.
    GtkWidget* image = gtk_image_new_from_icon_name(iconName, GTK_ICON_SIZE_BUTTON);
    gtk_button_set_image(GTK_BUTTON(widget), image);
    gtk_button_set_always_show_image(GTK_BUTTON(widget), TRUE);
    return true;
}

void markAsToolbar(wxWindow* panel) { gtk_widget_set_name(static_cast<GtkWidget*>(panel->GetHandle()), kToolbarName); }

}  // namespace kwirl

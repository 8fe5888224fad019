// SPDX-License-Identifier: MIT
#include "toolbar_style.h"

#include <gtk/gtk.h>
#include <wx/button.h>
#include <wx/dcscreen.h>
#include <wx/settings.h>
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
constexpr double kLargestPoints = 8.0;
constexpr double kSmallestPoints = 5.0;
constexpr int kButtonPadding = 4;  // border and padding left and right together
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

void fitToolbarFont(wxWindow* root, std::initializer_list<CaptionFit> controls) {
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    wxScreenDC dc;
    const auto fits = [&] {
        dc.SetFont(font);
        for (const auto& fit : controls) {
            const bool isButton = fit.control->IsKindOf(wxCLASSINFO(wxButton));
            const int room = fit.control->GetSize().x - (isButton ? kButtonPadding : 0);
            for (const auto& caption : fit.captions) {
                if (dc.GetTextExtent(wxString::FromUTF8(caption)).x > room) return false;
            }
        }
        return true;
    };
    double points = std::min(kLargestPoints, font.GetFractionalPointSize());
    font.SetFractionalPointSize(points);
    while (points > kSmallestPoints && !fits()) {
        points -= 0.5;
        font.SetFractionalPointSize(points);
    }
    root->SetFont(font);
    for (const auto& fit : controls) fit.control->SetFont(font);
}

}  // namespace kwirl

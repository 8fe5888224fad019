// SPDX-License-Identifier: MIT
#include "history_buttons.h"

#include <gtk/gtk.h>
#include <wx/event.h>
#include <wx/menu.h>
#include <wx/window.h>

namespace kwirl {

namespace {

constexpr guint kBackButton = 8, kForwardButton = 9;

bool isHistoryButton(const GdkEventButton* button) {
    return button->button == kBackButton || button->button == kForwardButton;
}

// The control's event, raised once the toolkit's current event has been handled
// (a list or menu closing first).
void raiseLater(wxWindow* control, guint button) {
    wxMouseEvent event(button == kBackButton ? wxEVT_AUX1_DOWN : wxEVT_AUX2_DOWN);
    event.SetEventObject(control);
    control->GetEventHandler()->AddPendingEvent(event);
}

// A press the control's parts left unhandled comes up to the control itself.
gboolean onButtonPress(GtkWidget*, GdkEventButton* button, gpointer control) {
    if (button->type != GDK_BUTTON_PRESS || !isHistoryButton(button)) return FALSE;
    auto* window = static_cast<wxWindow*>(control);
    wxMouseEvent event(button->button == kBackButton ? wxEVT_AUX1_DOWN : wxEVT_AUX2_DOWN);
    event.SetEventObject(window);
    window->HandleWindowEvent(event);
    return TRUE;
}

// Over an open list or menu: the press closes it, with nothing chosen, and
// neither it nor its release reaches the entries (a menu chooses on a release).
gboolean onMenuButton(GtkWidget* menu, GdkEventButton* button, gpointer control) {
    if (!isHistoryButton(button)) return FALSE;
    if (button->type == GDK_BUTTON_PRESS) {
        gtk_menu_shell_cancel(GTK_MENU_SHELL(menu));
        raiseLater(static_cast<wxWindow*>(control), button->button);
    }
    return TRUE;
}

void guardMenu(GtkWidget* menu, wxWindow* control) {
    static const char* const kGuarded = "kwirl-history-buttons";
    if (!menu || g_object_get_data(G_OBJECT(menu), kGuarded)) return;
    g_object_set_data(G_OBJECT(menu), kGuarded, control);
    g_signal_connect(menu, "button-press-event", G_CALLBACK(onMenuButton), control);
    g_signal_connect(menu, "button-release-event", G_CALLBACK(onMenuButton), control);
}

// A drop-down's list is made by the toolkit when it is first needed: guarded as it opens.
void onPopupShown(GObject* combo, GParamSpec*, gpointer control) {
    AtkObject* accessible = gtk_combo_box_get_popup_accessible(GTK_COMBO_BOX(combo));
    if (!accessible || !GTK_IS_ACCESSIBLE(accessible)) return;
    GtkWidget* popup = gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible));
    if (popup && GTK_IS_MENU_SHELL(popup)) guardMenu(popup, static_cast<wxWindow*>(control));
}

}  // namespace

void raiseHistoryButtons(wxWindow* control, void* widget) {
    GtkWidget* native = static_cast<GtkWidget*>(widget ? widget : control->GetHandle());
    g_signal_connect(native, "button-press-event", G_CALLBACK(onButtonPress), control);
    if (GTK_IS_COMBO_BOX(native)) g_signal_connect(native, "notify::popup-shown", G_CALLBACK(onPopupShown), control);
}

void raiseHistoryButtonsOverMenu(wxMenu& menu, wxWindow* control) { guardMenu(menu.m_menu, control); }

}  // namespace kwirl

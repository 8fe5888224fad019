// SPDX-License-Identifier: MIT
#include "history_buttons.h"

#include <gtk/gtk.h>
#include <wx/event.h>
#include <wx/window.h>

namespace kwirl {

namespace {

constexpr guint kBackButton = 8, kForwardButton = 9;

// A press the control's parts left unhandled comes up to the control itself.
gboolean onButtonPress(GtkWidget*, GdkEventButton* button, gpointer control) {
    if (button->type != GDK_BUTTON_PRESS || (button->button != kBackButton && button->button != kForwardButton)) {
        return FALSE;
    }
    auto* window = static_cast<wxWindow*>(control);
    wxMouseEvent event(button->button == kBackButton ? wxEVT_AUX1_DOWN : wxEVT_AUX2_DOWN);
    event.SetEventObject(window);
    window->HandleWindowEvent(event);
    return TRUE;
}

}  // namespace

void raiseHistoryButtons(wxWindow* control, void* widget) {
    g_signal_connect(widget ? widget : control->GetHandle(), "button-press-event", G_CALLBACK(onButtonPress), control);
}

}  // namespace kwirl

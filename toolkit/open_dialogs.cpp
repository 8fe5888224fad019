// SPDX-License-Identifier: MIT
#include "open_dialogs.h"

#include <gtk/gtk.h>

namespace kwirl {

void closeOpenDialogs() {
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item; item = item->next) {
        GtkWindow* window = GTK_WINDOW(item->data);
        if (!gtk_widget_get_visible(GTK_WIDGET(window))) continue;
        if (GTK_IS_DIALOG(window) && gtk_window_get_modal(window)) {
            gtk_dialog_response(GTK_DIALOG(window), GTK_RESPONSE_DELETE_EVENT);
            continue;
        }
        // A menu shows in a popup window of its own.
        GtkWidget* child = gtk_bin_get_child(GTK_BIN(window));
        if (child && GTK_IS_MENU_SHELL(child)) gtk_menu_shell_cancel(GTK_MENU_SHELL(child));
    }
    g_list_free(windows);
}

}  // namespace kwirl

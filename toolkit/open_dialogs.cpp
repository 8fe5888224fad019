// SPDX-License-Identifier: MIT
#include "open_dialogs.h"

#include <gtk/gtk.h>

namespace kwirl {

void closeOpenDialogs() {
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item; item = item->next) {
        GtkWindow* window = GTK_WINDOW(item->data);
        if (GTK_IS_DIALOG(window) && gtk_window_get_modal(window) && gtk_widget_get_visible(GTK_WIDGET(window))) {
            gtk_dialog_response(GTK_DIALOG(window), GTK_RESPONSE_DELETE_EVENT);
        }
    }
    g_list_free(windows);
}

}  // namespace kwirl

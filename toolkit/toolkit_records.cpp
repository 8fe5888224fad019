// SPDX-License-Identifier: MIT
#include "toolkit_records.h"

#include <glib/gstdio.h>
#include <gtk/gtk.h>

#include <ranges>

namespace kwirl {

// The toolkit's own switch for the record ("gtk-recent-files-enabled") would
// empty the player's whole list, other programs' entries with it, the first
// time the file chooser touches it: only this program's entries go.
void stopRecentFilesRecord() {
    GtkRecentManager* recent = gtk_recent_manager_get_default();
    g_signal_connect(recent, "changed", G_CALLBACK(+[](GtkRecentManager* manager, gpointer) {
                         GList* items = gtk_recent_manager_get_items(manager);
                         for (GList* item = items; item; item = item->next) {
                             auto* info = static_cast<GtkRecentInfo*>(item->data);
                             if (gtk_recent_info_has_application(info, g_get_application_name()) ||
                                 gtk_recent_info_has_application(info, g_get_prgname())) {
                                 gtk_recent_manager_remove_item(manager, gtk_recent_info_get_uri(info), nullptr);
                             }
                         }
                         g_list_free_full(items, reinterpret_cast<GDestroyNotify>(gtk_recent_info_unref));
                     }),
                     nullptr);
}

ToolkitTraces missingToolkitTraces() {
    ToolkitTraces missing;
    const std::string config = g_get_user_config_dir();
    for (const std::string& folder : {config, config + "/gtk-3.0"}) {
        if (!g_file_test(folder.c_str(), G_FILE_TEST_EXISTS)) missing.folders.push_back(folder);
    }
    const std::string recent = std::string(g_get_user_data_dir()) + "/recently-used.xbel";
    if (!g_file_test(recent.c_str(), G_FILE_TEST_EXISTS)) missing.recentFiles = recent;
    return missing;
}

void removeToolkitTraces(const ToolkitTraces& traces) {
    // Only what is empty goes: whatever else put something in it keeps it.
    if (!traces.recentFiles.empty()) {
        GBookmarkFile* list = g_bookmark_file_new();
        if (g_bookmark_file_load_from_file(list, traces.recentFiles.c_str(), nullptr) &&
            g_bookmark_file_get_size(list) == 0) {
            g_unlink(traces.recentFiles.c_str());
        }
        g_bookmark_file_free(list);
    }
    for (const std::string& folder : std::views::reverse(traces.folders)) g_rmdir(folder.c_str());
}

}  // namespace kwirl

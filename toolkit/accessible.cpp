// SPDX-License-Identifier: MIT
#include "accessible.h"

#include <gtk/gtk.h>
#include <wx/window.h>

#include <cstring>

namespace kwirl {

namespace {

AtkObject* accessibleOf(wxWindow* control) {
    auto* widget = static_cast<GtkWidget*>(control->GetHandle());
    return widget ? gtk_widget_get_accessible(widget) : nullptr;
}

bool same(const gchar* now, const std::string& text) { return now && std::strcmp(now, text.c_str()) == 0; }

}  // namespace

void setAccessibleText(wxWindow* control, const std::string& name, const std::string& description) {
    AtkObject* accessible = accessibleOf(control);
    if (!accessible) return;
    if (!same(atk_object_get_name(accessible), name)) atk_object_set_name(accessible, name.c_str());
    if (!same(atk_object_get_description(accessible), description)) {
        atk_object_set_description(accessible, description.c_str());
    }
}

}  // namespace kwirl

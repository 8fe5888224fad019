// SPDX-License-Identifier: MIT
#include "engine_keys.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>
#include <wx/event.h>
#include <wx/window.h>

#include <cmath>

#include "key_table.h"

namespace kwirl {

namespace {

// One notch of the mouse's wheel as the toolkit counts it.
constexpr int kWheelNotch = 120;

}  // namespace

TEngineKeys::TEngineKeys(WebKitWebView* view, wxWindow* window) : view_(view), window_(window) {
    g_signal_connect(view_, "load-changed", G_CALLBACK(&TEngineKeys::onLoadChanged), this);
    g_signal_connect(view_, "key-press-event", G_CALLBACK(&TEngineKeys::onKeyBeforePage), this);
    g_signal_connect(view_, "scroll-event", G_CALLBACK(&TEngineKeys::onScroll), this);
}

TEngineKeys::~TEngineKeys() { g_signal_handlers_disconnect_by_data(view_, this); }

// A new page starts with no text field of its own focused.
void TEngineKeys::onLoadChanged(WebKitWebView*, int event, gpointer self) {
    if (event == WEBKIT_LOAD_COMMITTED) static_cast<TEngineKeys*>(self)->textFocus_ = false;
}

// A key the window takes before the page (the key table says which), unless a
// text field of the page has the focus: stopped here, it bubbles on to the window's own
// handlers as if the page had not wanted it.
gboolean TEngineKeys::onKeyBeforePage(GtkWidget* widget, GdkEventKey* key, gpointer self) {
    if (static_cast<TEngineKeys*>(self)->textFocus_ || !isKeyBeforePage(key->keyval, key->state)) return FALSE;
    g_signal_stop_emission_by_name(widget, "key-press-event");
    return FALSE;
}

// The wheel with Ctrl held is the window's: it reaches its handlers as the
// toolkit's own mouse event instead of reaching the page.
gboolean TEngineKeys::onScroll(GtkWidget*, GdkEventScroll* scroll, gpointer self) {
    if ((scroll->state & GDK_CONTROL_MASK) == 0) return FALSE;
    double rotation = 0;
    if (scroll->direction == GDK_SCROLL_UP) rotation = kWheelNotch;
    if (scroll->direction == GDK_SCROLL_DOWN) rotation = -kWheelNotch;
    if (scroll->direction == GDK_SCROLL_SMOOTH) rotation = -scroll->delta_y * kWheelNotch;
    wxWindow* window = static_cast<TEngineKeys*>(self)->window_;
    wxMouseEvent event(wxEVT_MOUSEWHEEL);
    event.SetEventObject(window);
    event.m_controlDown = true;
    event.m_wheelAxis = wxMOUSE_WHEEL_VERTICAL;
    event.m_wheelDelta = kWheelNotch;
    event.m_wheelRotation = static_cast<int>(std::lround(rotation));
    window->HandleWindowEvent(event);
    return TRUE;
}

}  // namespace kwirl

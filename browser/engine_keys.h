// SPDX-License-Identifier: MIT
#pragma once
// The keys and the wheel over the page that belong to the window: the keys
// that move in the history (unless a text field of the page has the keyboard)
// and the wheel with Ctrl held. They reach the window's own handlers as if the
// page had not wanted them.

#include <glib-object.h>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _GdkEventKey GdkEventKey;
typedef struct _GdkEventScroll GdkEventScroll;
typedef struct _GtkWidget GtkWidget;
class wxWindow;

namespace kwirl {

class TEngineKeys {
public:
    // `window` is the view's window in the toolkit, which the wheel's events reach.
    TEngineKeys(WebKitWebView* view, wxWindow* window);
    ~TEngineKeys();
    TEngineKeys(const TEngineKeys&) = delete;
    TEngineKeys& operator=(const TEngineKeys&) = delete;

    // Whether a text field of the page has the keyboard focus: keys typed there are the page's.
    void setTextFocus(bool inTextField) { textFocus_ = inTextField; }

private:
    static void onLoadChanged(WebKitWebView*, int event, gpointer self);
    static gboolean onKeyBeforePage(GtkWidget* widget, GdkEventKey* key, gpointer self);
    static gboolean onScroll(GtkWidget*, GdkEventScroll* scroll, gpointer self);

    WebKitWebView* view_;
    wxWindow* window_;
    bool textFocus_ = false;
};

}  // namespace kwirl

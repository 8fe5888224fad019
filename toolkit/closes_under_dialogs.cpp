// SPDX-License-Identifier: MIT
#include "closes_under_dialogs.h"

#include <gtk/gtk.h>
#include <wx/modalhook.h>
#include <wx/toplevel.h>
#include <wx/weakref.h>

namespace kwirl {

namespace {

// Told of each modal dialog the toolkit runs (a file chooser, a message box):
// while one is open, every event passes here before the toolkit's own
// dispatch, which drops a close of a window the dialog's grab holds back.
class ClosesUnderDialogs final : public wxModalDialogHook {
public:
    wxWeakRef<wxTopLevelWindow> window;
    std::function<void()> onClose;
    bool registered = false;

protected:
    int Enter(wxDialog*) override {
        if (open_++ == 0) gdk_event_handler_set(&ClosesUnderDialogs::onEvent, this, nullptr);
        return wxID_NONE;  // the dialog is shown
    }
    void Exit(wxDialog*) override {
        if (open_ > 0 && --open_ == 0) {
            gdk_event_handler_set(&ClosesUnderDialogs::toToolkit, nullptr, nullptr);
        }
    }

private:
    // The toolkit's own dispatch, as it is when no dialog is open.
    static void toToolkit(GdkEvent* event, gpointer) { gtk_main_do_event(event); }

    static void onEvent(GdkEvent* event, gpointer self) {
        auto* hook = static_cast<ClosesUnderDialogs*>(self);
        if (event->type == GDK_DELETE && hook->closesWindow(event->any.window)) {
            // Called from the next turn of the loop: the dialog's answer and
            // the window's end run as they would from any handler.
            g_idle_add(
                [](gpointer closes) {
                    auto* pending = static_cast<ClosesUnderDialogs*>(closes);
                    if (pending->onClose) pending->onClose();
                    return G_SOURCE_REMOVE;
                },
                hook);
            return;
        }
        gtk_main_do_event(event);
    }

    bool closesWindow(GdkWindow* asked) const {
        if (!window.get() || !asked) return false;
        GtkWidget* widget = window->GetHandle();
        return widget && gtk_widget_get_window(widget) == asked;
    }

    int open_ = 0;
};

ClosesUnderDialogs& closes() {
    static ClosesUnderDialogs hook;
    return hook;
}

}  // namespace

void passClosesUnderDialogs(wxTopLevelWindow* window, std::function<void()> onClose) {
    ClosesUnderDialogs& hook = closes();
    hook.window = window;
    hook.onClose = std::move(onClose);
    if (!hook.registered) hook.Register();
    hook.registered = true;
}

}  // namespace kwirl

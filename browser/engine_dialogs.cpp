// SPDX-License-Identifier: MIT
#define G_LOG_DOMAIN "kwirl"
#include "engine_dialogs.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <string_view>

#include "engine_top_page.h"
#include "home_site_rules.h"

namespace kwirl {

TPageDialogs::TPageDialogs(WebKitWebView* view, const TTopPageGuard& site) : view_(view), site_(site) {
    g_signal_connect(view_, "script-dialog", G_CALLBACK(&TPageDialogs::onScriptDialog), this);
    g_signal_connect(view_, "authenticate", G_CALLBACK(&TPageDialogs::onAuthenticate), this);
    g_signal_connect(view_, "print", G_CALLBACK(&TPageDialogs::onPrint), this);
}

TPageDialogs::~TPageDialogs() { g_signal_handlers_disconnect_by_data(view_, this); }

void TPageDialogs::setHomeSite(const std::string& host) {
    const std::string source = dialogsGuardScript(host);
    WebKitUserScript* script = webkit_user_script_new(source.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                                      WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(webkit_web_view_get_user_content_manager(view_), script);
    webkit_user_script_unref(script);
}

// The engine waits for the dialog's answer before the view can load anything.
// Its own dialog, shown inside the view, is closed as its Escape key would
// (an alert returns, a confirm is false), and the page's next ones are
// answered so too, unseen, until the next page is shown.
void TPageDialogs::personActs() {
    gtk_container_forall(
        GTK_CONTAINER(view_),
        [](GtkWidget* child, gpointer self) {
            if (std::string_view(G_OBJECT_TYPE_NAME(child)).find("ScriptDialog") == std::string_view::npos ||
                !gtk_widget_get_realized(child)) {
                return;
            }
            GdkEvent* escape = gdk_event_new(GDK_KEY_PRESS);
            escape->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(child)));
            escape->key.send_event = TRUE;
            escape->key.time = GDK_CURRENT_TIME;
            escape->key.keyval = GDK_KEY_Escape;
            gtk_widget_event(child, escape);
            gdk_event_free(escape);
            static_cast<TPageDialogs*>(self)->quiet_ = true;
        },
        this);
}

void TPageDialogs::pageShown() { quiet_ = false; }

gboolean TPageDialogs::onScriptDialog(WebKitWebView*, WebKitScriptDialog*, gpointer self) {
    auto* dialogs = static_cast<TPageDialogs*>(self);
    // A page that is no longer the home site's shows none; nor one the person moved away from.
    if (dialogs->quiet_ || !dialogs->site_.homePageShown()) {
        g_debug("a page's dialog was answered unseen");
        return TRUE;  // answered as dismissed as soon as the engine lets go of it
    }
    return FALSE;  // the engine's own, inside the view
}

// A password is asked only for the home site while its page is shown; a
// challenge of any other site (a frame of an advert, say) is refused unseen.
gboolean TPageDialogs::onAuthenticate(WebKitWebView*, WebKitAuthenticationRequest* request, gpointer self) {
    auto* dialogs = static_cast<TPageDialogs*>(self);
    if (webkit_authentication_request_is_for_proxy(request)) return FALSE;
    const gchar* name = webkit_authentication_request_get_host(request);
    const std::string host = name ? name : "";
    const std::string address = "http://" + (host.find(':') != std::string::npos ? "[" + host + "]" : host) + "/";
    if (!host.empty() && dialogs->site_.homePageShown() && dialogs->site_.onHomeSite(address)) return FALSE;
    g_debug("refused a request for a password from %s", host.substr(0, 200).c_str());
    webkit_authentication_request_cancel(request);
    return TRUE;
}

// Only the home site's page prints (its frames of other sites cannot: the
// guard script answers them), and only while it is shown.
gboolean TPageDialogs::onPrint(WebKitWebView*, WebKitPrintOperation*, gpointer self) {
    if (static_cast<TPageDialogs*>(self)->site_.homePageShown()) return FALSE;
    g_debug("refused printing for a page of another site");
    return TRUE;
}

}  // namespace kwirl

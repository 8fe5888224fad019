// SPDX-License-Identifier: MIT
// The browser on the platform's engine: one view, wxWebView over WebKitGTK,
// with the engine's own signals for what wxWebView does not offer (progress,
// keys, failed loads) or gets wrong (new windows).

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>
#include <wx/webview.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>

#include "engine_downloads.h"
#include "engine_load_recovery.h"
#include "engine_shell.h"
#include "frame_shown_js.h"
#include "history_buttons.h"
#include "open_in_place_js.h"
#include "text_focus_js.h"
#include "web_browser.h"
#include "wx_text.h"

namespace kwirl {

namespace {

// The engine reports progress as a fraction; the window's handlers want two integers.
constexpr std::int32_t kProgressScale = 10000;
constexpr std::int32_t kLoadFinished = -1;

// The engine aborts the process inside its own new-window path when a script
// calls window.open, before any handler of ours is asked. Every frame's
// window.open therefore hands its address to us instead, and the page is
// opened in this view the way a requested new window is
// (scripts/open_in_place.js).
constexpr const char* kNewWindowMessage = "kwirlNewWindow";

// Whether a text field of the page has the keyboard focus, told by every frame
// as the focus moves (scripts/text_focus.js): keys typed there are the page's own.
constexpr const char* kTextFocusMessage = "kwirlTextFocus";

// Every frame tells the address it shows each time it is shown, from a new load
// or from the history (scripts/frame_shown.js): a page restored from the history
// brings its frames back without asking the window first.
constexpr const char* kFrameShownMessage = "kwirlFrameShown";

// The text a frame's script posted, if it posted text.
std::optional<std::string> textOf(WebKitJavascriptResult* result) {
    JSCValue* value = webkit_javascript_result_get_js_value(result);
    if (!jsc_value_is_string(value)) return std::nullopt;
    gchar* text = jsc_value_to_string(value);
    std::string copy = text ? text : "";
    g_free(text);
    return copy;
}

// Keys that go to the window before the page sees them, as the page would take
// them for itself (Alt+Left scrolls it); in a text field they stay the page's.
bool isHistoryKey(const GdkEventKey* key) {
    const guint modifiers = key->state & static_cast<guint>(gtk_accelerator_get_default_mod_mask());
    if (key->keyval == GDK_KEY_Back || key->keyval == GDK_KEY_Forward) return true;
    return modifiers == GDK_MOD1_MASK && (key->keyval == GDK_KEY_Left || key->keyval == GDK_KEY_Right ||
                                          key->keyval == GDK_KEY_KP_Left || key->keyval == GDK_KEY_KP_Right);
}

// One notch of the mouse's wheel as the toolkit counts it.
constexpr int kWheelNotch = 120;

class TEngineBrowser final : public TCppWebBrowser, public wxEvtHandler {
public:
    explicit TEngineBrowser(wxWindow* parent) {
        setUpEngineBeforeFirstView();
        view_ = wxWebView::New(wxWebViewBackendDefault);
        // No start page: the window opens its pages itself.
        view_->Create(parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize);
        view_->Bind(wxEVT_WEBVIEW_NAVIGATING, &TEngineBrowser::onNavigating, this);
        view_->Bind(wxEVT_WEBVIEW_NEWWINDOW, &TEngineBrowser::onNewWindowPolicy, this);

        native_ = static_cast<WebKitWebView*>(view_->GetNativeBackend());
        // Pages that open a window by script (without a click) are let through, as
        // the portal's pages expect; the window lands in this same view.
        webkit_settings_set_javascript_can_open_windows_automatically(webkit_web_view_get_settings(native_), TRUE);
        // wxWebView answers "create" by returning the same view, which the engine
        // rejects by aborting the process. The request is answered here instead.
        g_signal_handlers_disconnect_matched(
            native_, G_SIGNAL_MATCH_ID, g_signal_lookup("create", WEBKIT_TYPE_WEB_VIEW), 0, nullptr, nullptr, nullptr);
        g_signal_connect(native_, "create", G_CALLBACK(&TEngineBrowser::onCreate), this);
        g_signal_connect(native_, "notify::estimated-load-progress", G_CALLBACK(&TEngineBrowser::onProgress), this);

        addFrameScript(kOpenInPlaceJs, kNewWindowMessage, G_CALLBACK(&TEngineBrowser::onScriptedWindow));
        addFrameScript(kTextFocusJs, kTextFocusMessage, G_CALLBACK(&TEngineBrowser::onTextFocus));
        addFrameScript(kFrameShownJs, kFrameShownMessage, G_CALLBACK(&TEngineBrowser::onFrameShown));

        g_signal_connect(native_, "key-press-event", G_CALLBACK(&TEngineBrowser::onKeyBeforePage), this);
        // The mouse's back and forward buttons are the window's, not the page's.
        raiseHistoryButtons(view_, native_);
        g_signal_connect(native_, "scroll-event", G_CALLBACK(&TEngineBrowser::onScroll), this);
        g_signal_connect(native_, "load-changed", G_CALLBACK(&TEngineBrowser::onLoadChanged), this);
        g_signal_connect(webkit_web_view_get_back_forward_list(native_), "changed",
                         G_CALLBACK(&TEngineBrowser::onHistoryChanged), this);
        recovery_ = std::make_unique<TLoadRecovery>(native_);
        downloads_ =
            std::make_unique<TEngineDownloads>(native_, *this, [this](double fraction) { reportProgress(fraction); });
    }

    ~TEngineBrowser() override {
        if (!native_) return;
        downloads_.reset();
        recovery_.reset();
        setItem(committedItem_, nullptr);
        setItem(addedItem_, nullptr);
        g_signal_handlers_disconnect_by_data(native_, this);
        g_signal_handlers_disconnect_by_data(webkit_web_view_get_back_forward_list(native_), this);
        g_signal_handlers_disconnect_by_data(webkit_web_view_get_user_content_manager(native_), this);
    }

    void Navigate(const std::string& url) override { view_->LoadURL(toWx(url)); }
    void Stop() override { view_->Stop(); }
    // The page shown, not the one being loaded: the engine's own address runs
    // ahead to a load as soon as it is asked for, before the window's filter ran.
    std::string LocationURL() const override { return committed_; }
    TCppWebBrowser* Application() override { return this; }
    wxWindow* Window() override { return view_; }
    // wx's own focus call lands on the widget around the engine's view, where
    // no key reaches the page; the view itself takes it here.
    void Focus() override {
        if (!gtk_widget_is_focus(GTK_WIDGET(native_))) gtk_widget_grab_focus(GTK_WIDGET(native_));
    }
    void GoBack() override { webkit_web_view_go_back(native_); }
    void GoForward() override { webkit_web_view_go_forward(native_); }
    void Reload() override {
        // Standing in for a page, ours counts the reload as one of its attempts.
        if (recovery_->showsOwnPage()) {
            recovery_->tryAgain();
        } else {
            webkit_web_view_reload(native_);
        }
    }
    void PrefetchDns(const std::string& hostName) override {
        webkit_web_context_prefetch_dns(webkit_web_view_get_context(native_), hostName.c_str());
    }
    double Zoom() const override { return webkit_web_view_get_zoom_level(native_); }
    void SetZoom(double level) override { webkit_web_view_set_zoom_level(native_, level); }

private:
    // A script run at the start of every frame's document, and our handler of
    // the messages it posts.
    void addFrameScript(const char* source, const char* message, GCallback handler) {
        WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(native_);
        const std::string signal = std::string("script-message-received::") + message;
        g_signal_connect(content, signal.c_str(), handler, this);
        webkit_user_content_manager_register_script_message_handler(content, message);
        WebKitUserScript* script =
            webkit_user_script_new(source, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                   WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
        webkit_user_content_manager_add_script(content, script);
        webkit_user_script_unref(script);
    }

    void onNavigating(wxWebViewEvent& event) {
        const std::string url = fromWx(event.GetURL());
        std::int16_t cancel = 0;
        try {
            if (OnBeforeNavigate2) OnBeforeNavigate2(this, nullptr, url, 0, fromWx(event.GetTarget()), {}, {}, cancel);
        } catch (...) {
            // A handler that fails decides nothing: the navigation stays cancelled.
            refuse(event, url);
            throw;
        }
        if (cancel != 0) refuse(event, url);
    }

    void refuse(wxWebViewEvent& event, const std::string& url) {
        event.Veto();
        recovery_->attemptEnded(url);
    }

    static void onLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self) {
        auto* browser = static_cast<TEngineBrowser*>(self);
        if (event == WEBKIT_LOAD_STARTED) {
            browser->provisional_ = true;
            browser->fromHistory_ = false;
        }
        if (event == WEBKIT_LOAD_COMMITTED) {
            browser->provisional_ = false;
            browser->textFocus_ = false;
            const gchar* uri = webkit_web_view_get_uri(view);
            browser->committed_ = uri ? uri : "";
            browser->committedFromHistory();
        }
        if (event == WEBKIT_LOAD_FINISHED) {
            browser->provisional_ = false;
            // A page from the history may come without progress: it ends as every load does.
            if (browser->lastProgress_ != kLoadFinished) browser->reportProgress(kLoadFinished);
        }
    }

    // A load committed. A new page takes an entry of its own in the history
    // (added as it commits) and a reload keeps the entry shown; any other entry
    // is one the page was restored from, which the window hears of here; its
    // frames follow as they are shown, as a new load would tell them.
    void committedFromHistory() {
        WebKitBackForwardListItem* current =
            webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(native_));
        fromHistory_ = current && current != addedItem_ && current != committedItem_;
        setItem(committedItem_, current);
        setItem(addedItem_, nullptr);
        if (!fromHistory_) return;
        tellHistoryNavigate(committed_);
    }

    void tellHistoryNavigate(const std::string& url) {
        if (OnHistoryNavigate) OnHistoryNavigate(this, url);
    }

    static void onFrameShown(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer self) {
        const auto shown = textOf(result);
        if (!shown) return;
        auto* browser = static_cast<TEngineBrowser*>(self);
        // Only the frames of a page that came from the history: the engine
        // shows them once that page has committed, from its cache too. While
        // another load waits to commit, a frame shown is the old page's.
        if (!browser->provisional_ && browser->fromHistory_) browser->tellHistoryNavigate(*shown);
    }

    // Keeps a reference to a history entry, for telling entries apart later.
    static void setItem(WebKitBackForwardListItem*& kept, WebKitBackForwardListItem* item) {
        if (item) g_object_ref(item);
        if (kept) g_object_unref(kept);
        kept = item;
    }

    // A new entry, or a move within the page shown (an anchor, the page's own
    // history entry) that changes its address without a load.
    static void onHistoryChanged(WebKitBackForwardList* list, WebKitBackForwardListItem* added, gpointer,
                                 gpointer self) {
        auto* browser = static_cast<TEngineBrowser*>(self);
        if (added) setItem(browser->addedItem_, added);
        if (browser->provisional_) return;
        // An entry added once the page committed is that page's.
        if (added) setItem(browser->committedItem_, webkit_back_forward_list_get_current_item(list));
        if (WebKitBackForwardListItem* item = webkit_back_forward_list_get_current_item(list)) {
            const gchar* uri = webkit_back_forward_list_item_get_uri(item);
            if (!uri || browser->committed_ == uri) return;
            browser->committed_ = uri;
            // Back or forward within the page: the window follows its address.
            if (!added) browser->tellHistoryNavigate(browser->committed_);
        }
    }

    static void onTextFocus(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer self) {
        JSCValue* value = webkit_javascript_result_get_js_value(result);
        static_cast<TEngineBrowser*>(self)->textFocus_ = jsc_value_is_boolean(value) && jsc_value_to_boolean(value);
    }

    // A key for the window: stopped here, it bubbles on to the window's own
    // handlers as if the page had not wanted it.
    static gboolean onKeyBeforePage(GtkWidget* widget, GdkEventKey* key, gpointer self) {
        if (static_cast<TEngineBrowser*>(self)->textFocus_ || !isHistoryKey(key)) return FALSE;
        g_signal_stop_emission_by_name(widget, "key-press-event");
        return FALSE;
    }

    // The wheel with Ctrl held is the window's: it reaches its handlers as the
    // toolkit's own mouse event instead of reaching the page.
    static gboolean onScroll(GtkWidget*, GdkEventScroll* scroll, gpointer self) {
        if ((scroll->state & GDK_CONTROL_MASK) == 0) return FALSE;
        double rotation = 0;
        if (scroll->direction == GDK_SCROLL_UP) rotation = kWheelNotch;
        if (scroll->direction == GDK_SCROLL_DOWN) rotation = -kWheelNotch;
        if (scroll->direction == GDK_SCROLL_SMOOTH) rotation = -scroll->delta_y * kWheelNotch;
        auto* browser = static_cast<TEngineBrowser*>(self);
        wxMouseEvent event(wxEVT_MOUSEWHEEL);
        event.SetEventObject(browser->view_);
        event.m_controlDown = true;
        event.m_wheelAxis = wxMOUSE_WHEEL_VERTICAL;
        event.m_wheelDelta = kWheelNotch;
        event.m_wheelRotation = static_cast<int>(std::lround(rotation));
        browser->view_->HandleWindowEvent(event);
        return TRUE;
    }

    // A link with a target that names no frame: the toolkit asks the policy
    // question and drops the load; the address is opened here.
    void onNewWindowPolicy(wxWebViewEvent& event) { openRequestedWindow(fromWx(event.GetURL())); }

    static WebKitWebView* onCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer self) {
        WebKitURIRequest* request = webkit_navigation_action_get_request(action);
        const gchar* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
        static_cast<TEngineBrowser*>(self)->openRequestedWindow(uri ? uri : "");
        return nullptr;  // never a second view
    }

    static void onScriptedWindow(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer self) {
        if (const auto url = textOf(result)) static_cast<TEngineBrowser*>(self)->openRequestedWindow(*url);
    }

    // The page asked for a new window: the window's handler names the browser
    // that shows it. Only this one exists, so whatever the handler answers, the
    // page is either opened here or dropped, and no second window appears.
    void openRequestedWindow(const std::string& url) {
        TCppWebBrowser* target = nullptr;
        std::int16_t cancel = 0;
        if (OnNewWindow2) OnNewWindow2(this, target, cancel);
        if (cancel != 0 || url.empty()) return;
        Navigate(url);
    }

    static void onProgress(WebKitWebView* view, GParamSpec*, gpointer self) {
        static_cast<TEngineBrowser*>(self)->reportProgress(webkit_web_view_get_estimated_load_progress(view));
    }

    // A load's or a download's progress. The end is reported as progress -1, so
    // that the bars empty once it is done and show activity only while it runs.
    void reportProgress(double fraction) {
        reportProgress(fraction >= 1.0 ? kLoadFinished
                                       : static_cast<std::int32_t>(std::lround(fraction * kProgressScale)));
    }

    void reportProgress(std::int32_t progress) {
        lastProgress_ = progress;
        if (OnProgressChange) OnProgressChange(this, progress, kProgressScale);
    }

    wxWebView* view_ = nullptr;
    WebKitWebView* native_ = nullptr;
    std::unique_ptr<TLoadRecovery> recovery_;
    std::unique_ptr<TEngineDownloads> downloads_;
    std::string committed_;
    bool provisional_ = false;
    // The history entry shown, the last one added, and whether the page shown
    // came from the history.
    WebKitBackForwardListItem* committedItem_ = nullptr;
    WebKitBackForwardListItem* addedItem_ = nullptr;
    bool fromHistory_ = false;
    std::int32_t lastProgress_ = kLoadFinished;
    bool textFocus_ = false;
};

}  // namespace

std::unique_ptr<TCppWebBrowser> makeEngineBrowser(wxWindow* parent) { return std::make_unique<TEngineBrowser>(parent); }

}  // namespace kwirl

// SPDX-License-Identifier: MIT
// The browser on the platform's engine: one view of the engine's own, placed
// in the window, with the engine's signals turned into the window's events.
#define G_LOG_DOMAIN "kwirl"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>
#include <wx/nativewin.h>

#include <cmath>
#include <exception>
#include <memory>
#include <string>

#include "engine_dialogs.h"
#include "engine_downloads.h"
#include "engine_history.h"
#include "engine_keys.h"
#include "engine_load_recovery.h"
#include "engine_session.h"
#include "engine_shell.h"
#include "engine_top_page.h"
#include "error_pages.h"
#include "frame_scripts.h"
#include "history_buttons.h"
#include "web_address.h"
#include "web_browser.h"

namespace kwirl {

namespace {

// The engine reports progress as a fraction; the window's handlers want two integers.
constexpr std::int32_t kProgressScale = 10000;
constexpr std::int32_t kLoadFinished = -1;

class TEngineBrowser final : public TCppWebBrowser {
public:
    explicit TEngineBrowser(wxWindow* parent) {
        setUpEngineBeforeFirstView();
        native_ = WEBKIT_WEB_VIEW(g_object_ref_sink(webkit_web_view_new()));
        // A page opens a window only on the person's click (the engine's default,
        // said here as it is meant): a script of an advert never replaces the page.
        webkit_settings_set_javascript_can_open_windows_automatically(webkit_web_view_get_settings(native_), FALSE);
        // The view sits in a box of its own, which the toolkit takes as its
        // window: keys the page leaves reach the window's handlers from there,
        // after the page, as they would from any control.
        GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
        gtk_box_pack_start(GTK_BOX(box), GTK_WIDGET(native_), TRUE, TRUE, 0);
        gtk_widget_show(GTK_WIDGET(native_));
        window_ = new wxNativeWindow(parent, wxID_ANY, box);

        g_signal_connect(native_, "decide-policy", G_CALLBACK(&TEngineBrowser::onDecidePolicy), this);
        g_signal_connect(native_, "create", G_CALLBACK(&TEngineBrowser::onCreate), this);
        g_signal_connect(native_, "notify::estimated-load-progress", G_CALLBACK(&TEngineBrowser::onProgress), this);
        g_signal_connect(native_, "load-changed", G_CALLBACK(&TEngineBrowser::onLoadChanged), this);
        g_signal_connect(native_, "load-failed", G_CALLBACK(&TEngineBrowser::onLoadFailed), this);
        // The mouse's back and forward buttons are the window's, not the page's.
        raiseHistoryButtons(window_, native_);

        topPage_ = std::make_unique<TTopPageGuard>(native_);
        dialogs_ = std::make_unique<TPageDialogs>(native_, *topPage_);
        history_ = std::make_unique<TEngineHistory>(
            native_,
            [this](const std::string& url) {
                if (OnHistoryNavigate) OnHistoryNavigate(this, url);
            },
            [this](const std::string& url) { pageShown(url); });
        keys_ = std::make_unique<TEngineKeys>(native_, window_);
        scripts_ = std::make_unique<TFrameScripts>(
            native_,
            // A text field of another site's frame (an advert) never keeps the window's keys.
            [this](const std::string& frame) { keys_->setTextFocus(!frame.empty() && topPage_->onHomeSite(frame)); },
            [this](const std::string& url) { history_->frameShown(url); });
        recovery_ = std::make_unique<TLoadRecovery>(native_);
        session_ = std::make_unique<TEngineSession>(
            native_, *recovery_, [this](const std::string& url) { return topPage_->onHomeSite(url); });
        downloads_ = std::make_unique<TEngineDownloads>(
            native_, *this, [this](double fraction) { reportProgress(fraction); },
            [this](const std::string& address) { return topPage_->fileAskedFor(address); });
    }

    ~TEngineBrowser() override {
        session_.reset();
        downloads_.reset();
        recovery_.reset();
        scripts_.reset();
        keys_.reset();
        history_.reset();
        dialogs_.reset();
        topPage_.reset();
        g_signal_handlers_disconnect_by_data(native_, this);
        g_object_unref(native_);  // the window's box holds it until the window goes
    }

    void Navigate(const std::string& url) override {
        personActs();
        recovery_->personAsks(url);
        webkit_web_view_load_uri(native_, url.c_str());
    }
    void Stop() override {
        dialogs_->personActs();
        recovery_->personStops();
        webkit_web_view_stop_loading(native_);
        recovery_->afterPersonStopped();
    }
    std::string LocationURL() const override { return history_->committed(); }
    TCppWebBrowser* Application() override { return this; }
    wxWindow* Window() override { return window_; }
    void Focus() override {
        if (!gtk_widget_is_focus(GTK_WIDGET(native_))) gtk_widget_grab_focus(GTK_WIDGET(native_));
    }
    void GoBack() override {
        personActs();
        webkit_web_view_go_back(native_);
    }
    void GoForward() override {
        personActs();
        webkit_web_view_go_forward(native_);
    }
    void Reload() override {
        personActs();
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
    bool ShowsOwnPage() const override { return recovery_->showsOwnPage(); }
    double Zoom() const override { return webkit_web_view_get_zoom_level(native_); }
    void SetZoom(double level) override { webkit_web_view_set_zoom_level(native_, level); }
    std::string SessionState() const override { return session_->state(); }
    void ForgetSessionState() override { session_->forget(); }
    bool RestoreSession(const std::string& state) override {
        personActs();
        if (!session_->restore(state)) return false;
        // The page left off at is on its way, as if asked for.
        if (const gchar* uri = webkit_web_view_get_uri(native_)) recovery_->personAsks(uri);
        return true;
    }
    void SetHomeSite(const std::string& host, std::function<bool(const std::string&)> onSite) override {
        topPage_->setHomeSite(host, std::move(onSite));
        dialogs_->setHomeSite(host);
    }

private:
    // A command of the person's: it moves the view wherever it leads, and no
    // dialog of the page shown holds it up.
    void personActs() {
        dialogs_->personActs();
        topPage_->personMoves();
        recovery_->personMovesOn();
    }

    void pageShown(const std::string& url) {
        topPage_->pageShown(url);
        dialogs_->pageShown();
        if (session_) session_->pageShown(url);
        if (OnNavigateComplete2) OnNavigateComplete2(this, url);
    }

    // Every navigation, the main frame's and each frame's, is weighed by the
    // guard of the top page, then asks the window's filter. A request for a new
    // window is answered by "create" below; a page's first answer is the
    // guard's second line.
    static gboolean onDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                   gpointer self) {
        auto* browser = static_cast<TEngineBrowser*>(self);
        if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
            browser->session_->answered(WEBKIT_RESPONSE_POLICY_DECISION(decision));
            if (browser->topPage_->responseAllowed(WEBKIT_RESPONSE_POLICY_DECISION(decision))) return FALSE;
            webkit_policy_decision_ignore(decision);
            return TRUE;
        }
        if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) return FALSE;
        renewTrustedCertificates();  // for the network process the load may start anew; none as shipped
        WebKitNavigationAction* action =
            webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
        WebKitURIRequest* request = webkit_navigation_action_get_request(action);
        // Copied at once: the engine's string goes with the next call that asks for it.
        const gchar* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
        const std::string address = uri ? uri : "";
        const gchar* target = webkit_navigation_action_get_frame_name(action);
        const std::string targetName = target ? target : "";
        const TTopPageGuard::Verdict verdict = browser->topPage_->decide(action);
        if (verdict == TTopPageGuard::Verdict::OpenOutside) openInDesktopBrowser(address);
        if (verdict == TTopPageGuard::Verdict::Allow && browser->allowed(address, targetName)) return FALSE;
        webkit_policy_decision_ignore(decision);
        return TRUE;
    }

    bool allowed(const std::string& url, const std::string& target) {
        std::int16_t cancel = 0;
        try {
            if (OnBeforeNavigate2) OnBeforeNavigate2(this, nullptr, url, 0, target, {}, {}, cancel);
        } catch (const std::exception& failure) {
            // A handler that fails decides nothing: the navigation stays cancelled.
            g_debug("the navigation filter failed, the navigation is cancelled: %s", failure.what());
            cancel = 1;
        } catch (...) {
            g_debug("the navigation filter failed, the navigation is cancelled");
            cancel = 1;
        }
        if (cancel != 0) recovery_->attemptEnded(url);
        return cancel == 0;
    }

    // The page asked for a new window, by a link's target or by a script, on
    // the person's click (the engine asks nothing without one). The window's
    // handler names the browser that shows it. Only this one exists, so the
    // page is either opened here, through the filter like every other, or
    // dropped; never a second view. A link of another site goes to the
    // desktop's web browser.
    static WebKitWebView* onCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer self) {
        WebKitURIRequest* request = webkit_navigation_action_get_request(action);
        const gchar* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
        const bool link = webkit_navigation_action_get_navigation_type(action) == WEBKIT_NAVIGATION_TYPE_LINK_CLICKED;
        static_cast<TEngineBrowser*>(self)->openRequestedWindow(uri ? uri : "",
                                                                webkit_navigation_action_is_user_gesture(action), link);
        return nullptr;
    }

    void openRequestedWindow(const std::string& url, bool byPerson, bool link) {
        // A script, data, a local file: never opened for a page.
        if (!isWebAddress(url)) {
            g_debug("a page asked for a new window at an address that is not the web's: %s",
                    url.substr(0, 200).c_str());
            return;
        }
        if (!byPerson) {
            g_debug("a page asked for a new window without the person's click: %s", url.substr(0, 200).c_str());
            return;
        }
        if (link && topPage_->homePageShown() && !topPage_->onHomeSite(url)) {
            openInDesktopBrowser(url);
            return;
        }
        TCppWebBrowser* target = nullptr;
        std::int16_t cancel = 0;
        if (OnNewWindow2) OnNewWindow2(this, target, cancel);
        if (cancel != 0) return;
        Navigate(url);
    }

    static void onLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self) {
        auto* browser = static_cast<TEngineBrowser*>(self);
        if (event == WEBKIT_LOAD_FINISHED) browser->topPage_->loadEnded();
        // A page from the history may come without progress: it ends as every load does.
        if (event == WEBKIT_LOAD_FINISHED && browser->lastProgress_ != kLoadFinished) {
            browser->reportProgress(kLoadFinished);
        }
    }

    // Only a load given up before it committed leaves the page before shown;
    // one that failed otherwise shows the client's page for its address.
    static gboolean onLoadFailed(WebKitWebView*, WebKitLoadEvent event, gchar*, GError* error, gpointer self) {
        auto* browser = static_cast<TEngineBrowser*>(self);
        browser->topPage_->loadEnded();
        if (event == WEBKIT_LOAD_STARTED && error && isAbandonedLoad(error->domain, error->code) &&
            browser->OnLoadAbandoned) {
            browser->OnLoadAbandoned(browser);
        }
        return FALSE;
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

    WebKitWebView* native_ = nullptr;
    wxNativeWindow* window_ = nullptr;
    std::unique_ptr<TTopPageGuard> topPage_;
    std::unique_ptr<TPageDialogs> dialogs_;
    std::unique_ptr<TEngineHistory> history_;
    std::unique_ptr<TEngineKeys> keys_;
    std::unique_ptr<TFrameScripts> scripts_;
    std::unique_ptr<TLoadRecovery> recovery_;
    std::unique_ptr<TEngineSession> session_;
    std::unique_ptr<TEngineDownloads> downloads_;
    std::int32_t lastProgress_ = kLoadFinished;
};

}  // namespace

std::unique_ptr<TCppWebBrowser> makeEngineBrowser(wxWindow* parent) { return std::make_unique<TEngineBrowser>(parent); }

}  // namespace kwirl

// SPDX-License-Identifier: MIT
#include "engine_load_recovery.h"

#include <gio/gio.h>
#include <webkit2/webkit2.h>

#include "error_pages.h"
#include "frame_scripts.h"
#include "retry_button_js.h"
#include "web_address.h"

namespace kwirl {

namespace {

// A page whose process ended is loaded again by itself once, after a moment in
// which the page says what happened; again only if the last end was long ago,
// so that a page that ends its process each time it loads is not loaded forever.
constexpr unsigned kReloadAfterEndMs = RetryDelays::kFirstMs;
constexpr gint64 kQuietBetweenEndsUs = 60 * G_USEC_PER_SEC;

PageKind pageKindFor(WebKitWebProcessTerminationReason reason) {
    switch (reason) {
        case WEBKIT_WEB_PROCESS_CRASHED: return PageKind::Crashed;
        case WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT: return PageKind::OutOfMemory;
        default: return PageKind::ProcessEnded;
    }
}

}  // namespace

TLoadRecovery::TLoadRecovery(WebKitWebView* view) : view_(view) {
    g_signal_connect(view_, "load-failed", G_CALLBACK(&TLoadRecovery::onLoadFailed), this);
    g_signal_connect(view_, "load-changed", G_CALLBACK(&TLoadRecovery::onLoadChanged), this);
    g_signal_connect(view_, "web-process-terminated", G_CALLBACK(&TLoadRecovery::onProcessTerminated), this);
    g_signal_connect(view_, "notify::uri", G_CALLBACK(&TLoadRecovery::onAddressChanged), this);
    // Our page's button, in the client's own script world (scripts/retry_button.js).
    addClientScript(webkit_web_view_get_user_content_manager(view_), kRetryButtonJs, kRetryMessage,
                    G_CALLBACK(&TLoadRecovery::onRetryMessage), this, true);
    monitor_ = G_OBJECT(g_object_ref(g_network_monitor_get_default()));
    g_signal_connect(monitor_, "network-changed", G_CALLBACK(&TLoadRecovery::onNetworkChanged), this);
}

TLoadRecovery::~TLoadRecovery() {
    cancelSchedule();
    if (stopTold_ != 0) g_source_remove(stopTold_);
    if (history_) webkit_web_view_session_state_unref(history_);
    g_signal_handlers_disconnect_by_data(monitor_, this);
    g_object_unref(monitor_);
    g_signal_handlers_disconnect_by_data(view_, this);
    removeClientHandler(webkit_web_view_get_user_content_manager(view_), kRetryMessage, this);
}

gboolean TLoadRecovery::onLoadFailed(WebKitWebView*, int, gchar* uri, GError* error, gpointer self) {
    auto* recovery = static_cast<TLoadRecovery*>(self);
    const GQuark domain = error ? error->domain : 0;
    const int code = error ? error->code : 0;
    const std::string address = uri ? uri : "";
    recovery->loading_ = false;
    if (address == recovery->asked_) recovery->asked_.clear();
    if (isAbandonedLoad(domain, code)) {
        // Stopped, replaced or refused: nothing to explain, but an attempt of ours ended.
        recovery->attemptEnded(address);
        // Stopped by the person before any page came: the view would stay
        // blank, with no word of what happened and no way on but the toolbar.
        if (recovery->stoppedByPerson_) recovery->showStoppedBeforeItCame(address);
        return isRefusedByRules(domain, code) ? TRUE : FALSE;
    }
    // Another failure of the page being tried again waits longer; any other
    // page starts from the shortest wait.
    const bool sameAgain = recovery->attemptInFlight_ && address == recovery->address_;
    if (!sameAgain) recovery->delays_.reset();
    recovery->attemptInFlight_ = false;
    recovery->address_ = address;
    const PageKind kind = classifyLoadFailure(domain, code);
    recovery->retriesByItself_ = retriesByItself(kind);
    recovery->showOwnPage(Shown::FailurePage,
                          ownPageHtml(kind, address, error ? error->message : "", recovery->retriesByItself_));
    if (recovery->retriesByItself_) recovery->schedule(recovery->delays_.next());
    return TRUE;  // the engine shows none of its own
}

void TLoadRecovery::onLoadChanged(WebKitWebView* view, int event, gpointer self) {
    auto* recovery = static_cast<TLoadRecovery*>(self);
    switch (static_cast<WebKitLoadEvent>(event)) {
        case WEBKIT_LOAD_STARTED:
            recovery->loading_ = true;
            if (recovery->ownLoad_ != OwnLoad::Idle) return;
            // A load that is not our attempt: the person went on elsewhere.
            if (!recovery->attemptInFlight_) recovery->backToPage();
            return;
        case WEBKIT_LOAD_COMMITTED:
            recovery->loading_ = false;
            if (recovery->ownLoad_ == OwnLoad::Requested) {
                recovery->ownLoad_ = OwnLoad::Committed;
                if (recovery->history_) {
                    webkit_web_view_restore_session_state(recovery->view_, recovery->history_);
                    webkit_web_view_session_state_unref(recovery->history_);
                    recovery->history_ = nullptr;
                }
                return;
            }
            recovery->backToPage();  // a page of the portal's is shown again
            recovery->delays_.reset();
            if (const gchar* uri = webkit_web_view_get_uri(view)) recovery->committed_ = uri;
            return;
        case WEBKIT_LOAD_FINISHED:
            // Not the end of a provisional load: that is its commit or its
            // failure, and the end of the load before may come after the next
            // one started.
            // The failed load itself finishes after our page was asked for.
            if (recovery->ownLoad_ == OwnLoad::Committed) recovery->ownLoad_ = OwnLoad::Idle;
            return;
        default: return;
    }
}

void TLoadRecovery::onProcessTerminated(WebKitWebView*, int reason, gpointer self) {
    auto* recovery = static_cast<TLoadRecovery*>(self);
    const PageKind kind = pageKindFor(static_cast<WebKitWebProcessTerminationReason>(reason));
    const gint64 now = g_get_monotonic_time();
    const bool reloadByItself =
        retriesByItself(kind) && (!recovery->endedBefore_ || now - recovery->lastEndUs_ > kQuietBetweenEndsUs);
    recovery->endedBefore_ = true;
    recovery->lastEndUs_ = now;
    // The page that was shown, or the one of ours that stood in for it.
    if (recovery->shown_ == Shown::Page) {
        recovery->address_ = recovery->committed_.empty() ? "about:blank" : recovery->committed_;
    }
    recovery->attemptInFlight_ = false;
    recovery->cancelSchedule();
    recovery->keepHistoryOf(recovery->address_);
    recovery->showOwnPage(Shown::EndedPage, ownPageHtml(kind, recovery->address_, "", reloadByItself));
    if (reloadByItself) recovery->schedule(kReloadAfterEndMs);
}

// A move within the page shown (an anchor, the page's own history entry): its
// address as the page has it now. While a load runs, the engine's address is
// the one asked for, not yet shown.
void TLoadRecovery::onAddressChanged(WebKitWebView* view, GParamSpec*, gpointer self) {
    auto* recovery = static_cast<TLoadRecovery*>(self);
    if (recovery->loading_ || recovery->shown_ != Shown::Page || recovery->ownLoad_ != OwnLoad::Idle) return;
    const gchar* uri = webkit_web_view_get_uri(view);
    if (uri && isWebAddress(uri)) recovery->committed_ = uri;
}

void TLoadRecovery::onNetworkChanged(GObject*, gboolean available, gpointer self) {
    auto* recovery = static_cast<TLoadRecovery*>(self);
    // The network may be back: a page that failed is tried at once.
    if (available && recovery->shown_ == Shown::FailurePage && recovery->retriesByItself_) recovery->tryAgain();
}

void TLoadRecovery::personStops() {
    // The engine may start a load asked for seconds later (the first of a
    // new page process); stopped before that, it never tells of it.
    stoppedBeforeStart_ = !loading_ && !asked_.empty() && !isWebAddress(committed_);
    stoppedByPerson_ = (loading_ || stoppedBeforeStart_) && ownLoad_ == OwnLoad::Idle;
}

// Told once the stop's own handling has ended, as the engine tells of a load
// it stopped: a load the person asks for meanwhile goes on instead.
void TLoadRecovery::afterPersonStopped() {
    if (!stoppedBeforeStart_ || stopTold_ != 0) return;
    stoppedAddress_ = asked_;
    asked_.clear();
    stopTold_ = g_idle_add(&TLoadRecovery::tellStop, this);
}

gboolean TLoadRecovery::tellStop(gpointer self) {
    auto* recovery = static_cast<TLoadRecovery*>(self);
    recovery->stopTold_ = 0;
    if (recovery->stoppedBeforeStart_ && recovery->stoppedByPerson_) {
        recovery->showStoppedBeforeItCame(recovery->stoppedAddress_);
    }
    recovery->stoppedBeforeStart_ = false;
    return G_SOURCE_REMOVE;
}

// Stopped by the person before any page came: the view would stay blank, with
// no word of what happened and no way on but the toolbar.
void TLoadRecovery::showStoppedBeforeItCame(const std::string& address) {
    if (shown_ != Shown::Page || isWebAddress(committed_) || !isWebAddress(address)) return;
    stoppedByPerson_ = false;
    address_ = address;
    retriesByItself_ = false;
    showOwnPage(Shown::FailurePage, ownPageHtml(PageKind::Stopped, address, "", false));
}

void TLoadRecovery::onRetryMessage(GObject*, gpointer, gpointer self) { static_cast<TLoadRecovery*>(self)->tryAgain(); }

void TLoadRecovery::tryAgain() {
    if (shown_ == Shown::Page || attemptInFlight_) return;
    cancelSchedule();
    attempt();
}

void TLoadRecovery::attemptEnded(const std::string& address) {
    if (!attemptInFlight_ || address != address_) return;
    attemptInFlight_ = false;
    if (shown_ == Shown::FailurePage && retriesByItself_) schedule(delays_.next());
}

void TLoadRecovery::showOwnPage(Shown kind, const std::string& html) {
    shown_ = kind;
    ownLoad_ = OwnLoad::Requested;
    // Shown for the address that failed: the window's address stays that page's.
    webkit_web_view_load_alternate_html(view_, html.c_str(), address_.c_str(), nullptr);
}

void TLoadRecovery::schedule(unsigned delayMs) {
    cancelSchedule();
    timer_ = g_timeout_add(
        delayMs,
        [](gpointer self) {
            auto* recovery = static_cast<TLoadRecovery*>(self);
            recovery->timer_ = 0;
            recovery->attempt();
            return G_SOURCE_REMOVE;
        },
        this);
}

void TLoadRecovery::cancelSchedule() {
    if (timer_ != 0) g_source_remove(timer_);
    timer_ = 0;
}

// One attempt at a time: the next is scheduled only when this one failed. The
// page is loaded again in the place of ours, so that attempts add nothing to
// the history; the load passes the window's navigation filter like any other.
void TLoadRecovery::attempt() {
    if (shown_ == Shown::Page || attemptInFlight_) return;
    attemptInFlight_ = true;
    webkit_web_view_reload(view_);
}

// Our page takes the place of the entry shown, if it stands for that entry's
// page; one that stands for a page not yet shown takes that page's place.
void TLoadRecovery::keepHistoryOf(const std::string& address) {
    if (history_) webkit_web_view_session_state_unref(history_);
    history_ = nullptr;
    WebKitBackForwardListItem* shown =
        webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(view_));
    const gchar* uri = shown ? webkit_back_forward_list_item_get_uri(shown) : nullptr;
    if (uri && address == uri) history_ = webkit_web_view_get_session_state(view_);
}

void TLoadRecovery::backToPage() {
    shown_ = Shown::Page;
    attemptInFlight_ = false;
    cancelSchedule();
}

}  // namespace kwirl

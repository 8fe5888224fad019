// SPDX-License-Identifier: MIT
#define G_LOG_DOMAIN "kwirl"
#include "engine_top_page.h"

#include <gio/gio.h>
#include <webkit2/webkit2.h>

#include "home_site_rules.h"
#include "site_data.h"
#include "web_address.h"

namespace kwirl {

namespace {

constexpr const char* kRulesName = "top-page";
// How many addresses the person asked for are kept, for the files that come from them.
constexpr std::size_t kMostRemembered = 64;
// How much of a refused address the log shows.
constexpr std::size_t kLoggedLength = 200;

std::string logged(const std::string& address) { return address.substr(0, kLoggedLength); }

std::string addressOf(WebKitURIRequest* request) {
    const gchar* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
    return uri ? uri : "";
}

// The rules are compiled while the first page loads; the guard may be gone by then.
struct Saving {
    TTopPageGuard* guard;
    GCancellable* cancellable;
};

}  // namespace

TTopPageGuard::TTopPageGuard(WebKitWebView* view) : view_(view) {}

TTopPageGuard::~TTopPageGuard() {
    if (saving_) {
        g_cancellable_cancel(saving_);
        g_object_unref(saving_);
    }
    block(false);
    if (rules_) webkit_user_content_filter_unref(rules_);
}

void TTopPageGuard::setHomeSite(const std::string& host, OnSite onSite) {
    onSite_ = std::move(onSite);
    const std::string folder = clientCacheFolder() + "/content-rules";
    WebKitUserContentFilterStore* store = webkit_user_content_filter_store_new(folder.c_str());
    const std::string rules = topPageRules(host);
    GBytes* source = g_bytes_new(rules.data(), rules.size());
    if (!saving_) saving_ = g_cancellable_new();
    webkit_user_content_filter_store_save(store, kRulesName, source, saving_, &TTopPageGuard::onRulesSaved,
                                          new Saving{this, G_CANCELLABLE(g_object_ref(saving_))});
    g_bytes_unref(source);
    g_object_unref(store);
}

void TTopPageGuard::onRulesSaved(GObject* store, GAsyncResult* result, gpointer data) {
    auto* saving = static_cast<Saving*>(data);
    GError* error = nullptr;
    WebKitUserContentFilter* rules =
        webkit_user_content_filter_store_save_finish(WEBKIT_USER_CONTENT_FILTER_STORE(store), result, &error);
    const bool gone = g_cancellable_is_cancelled(saving->cancellable);
    g_object_unref(saving->cancellable);
    TTopPageGuard* guard = saving->guard;
    delete saving;
    if (gone) {
        if (rules) webkit_user_content_filter_unref(rules);
        if (error) g_error_free(error);
        return;
    }
    if (!rules) {
        // The second line still holds: such a page is never shown.
        g_warning("the rules that keep the view on the portal could not be made: %s",
                  error ? error->message : "no reason given");
        if (error) g_error_free(error);
        return;
    }
    guard->block(false);
    if (guard->rules_) webkit_user_content_filter_unref(guard->rules_);
    guard->rules_ = rules;
    guard->block(guard->homePageShown() && !guard->personMoving_);
}

bool TTopPageGuard::onHomeSite(const std::string& address) const { return !onSite_ || onSite_(address); }

bool TTopPageGuard::homePageShown() const { return shown_.empty() || shown_ == "about:blank" || onHomeSite(shown_); }

TTopPageGuard::Verdict TTopPageGuard::decide(WebKitNavigationAction* action) {
    const std::string address = addressOf(webkit_navigation_action_get_request(action));
    // A script, data, a local file, another scheme: never loaded, not even by a redirect.
    if (!isWebAddress(address) && address != "about:blank") {
        g_debug("refused a navigation to an address that is not the web's: %s", logged(address).c_str());
        return Verdict::Refuse;
    }
    if (!webkit_navigation_action_is_user_gesture(action)) return Verdict::Allow;
    remember(address);
    const bool link = webkit_navigation_action_get_navigation_type(action) == WEBKIT_NAVIGATION_TYPE_LINK_CLICKED;
    if (link && homePageShown() && !onHomeSite(address)) return Verdict::OpenOutside;
    personMoves();
    return Verdict::Allow;
}

bool TTopPageGuard::responseAllowed(WebKitResponsePolicyDecision* decision) {
    if (!webkit_response_policy_decision_is_main_frame_main_resource(decision)) return true;
    const std::string address = addressOf(webkit_response_policy_decision_get_request(decision));
    if (personMoving_ || !homePageShown() || onHomeSite(address)) {
        remember(address);
        return true;
    }
    g_debug("refused a whole page of another site that the person did not open: %s", logged(address).c_str());
    return false;
}

void TTopPageGuard::remember(const std::string& address) {
    if (askedFor_.size() >= kMostRemembered) askedFor_.clear();
    askedFor_.insert(address);
}

bool TTopPageGuard::fileAskedFor(const std::string& address) { return askedFor_.erase(address) > 0; }

void TTopPageGuard::personMoves() {
    personMoving_ = true;
    block(false);
}

void TTopPageGuard::pageShown(const std::string& address) {
    shown_ = address;
    loadEnded();
}

void TTopPageGuard::loadEnded() {
    personMoving_ = false;
    block(homePageShown());
}

void TTopPageGuard::block(bool on) {
    if (!rules_ || on == blocking_) return;
    WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(view_);
    if (on) {
        webkit_user_content_manager_add_filter(content, rules_);
    } else {
        webkit_user_content_manager_remove_filter(content, rules_);
    }
    blocking_ = on;
}

namespace {

void onLaunched(GObject*, GAsyncResult* result, gpointer) {
    GError* error = nullptr;
    if (!g_app_info_launch_default_for_uri_finish(result, &error)) {
        g_warning("the desktop's web browser could not open a page: %s", error ? error->message : "no reason given");
        if (error) g_error_free(error);
    }
}

}  // namespace

void openInDesktopBrowser(const std::string& address) {
    if (!isWebAddress(address)) return;
    g_app_info_launch_default_for_uri_async(address.c_str(), nullptr, nullptr, &onLaunched, nullptr);
}

}  // namespace kwirl

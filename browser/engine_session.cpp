// SPDX-License-Identifier: MIT
#include "engine_session.h"

#include <webkit2/webkit2.h>

#include "engine_load_recovery.h"

namespace kwirl {

namespace {

// A list of a few hundred pages is some tens of kilobytes: bytes past this are no list of ours.
constexpr std::size_t kMostStateBytes = std::size_t{4} << 20;

std::string currentAddress(WebKitWebView* view) {
    WebKitBackForwardListItem* item =
        webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(view));
    const gchar* uri = item ? webkit_back_forward_list_item_get_uri(item) : nullptr;
    return uri ? uri : "";
}

}  // namespace

TEngineSession::TEngineSession(WebKitWebView* view, const TLoadRecovery& recovery, OnSite onSite)
    : view_(view), recovery_(recovery), onSite_(std::move(onSite)) {}

TEngineSession::~TEngineSession() {
    if (pending_) g_source_remove(pending_);
}

// Taken once the commit's own handlers have all run: the client's own page
// standing in for a failed one is known by then.
void TEngineSession::pageShown(const std::string&) {
    if (pending_) return;
    pending_ = g_idle_add(
        [](gpointer self) {
            auto* session = static_cast<TEngineSession*>(self);
            session->pending_ = 0;
            session->take();
            return G_SOURCE_REMOVE;
        },
        this);
}

void TEngineSession::answered(WebKitResponsePolicyDecision* decision) {
    if (!webkit_response_policy_decision_is_main_frame_main_resource(decision)) return;
    WebKitURIRequest* request = webkit_response_policy_decision_get_request(decision);
    const gchar* method = request ? webkit_uri_request_get_http_method(request) : nullptr;
    formAnswer_ = method && g_ascii_strcasecmp(method, "GET") != 0;
}

void TEngineSession::take() {
    if (recovery_.showsOwnPage() || formAnswer_) return;
    const std::string address = currentAddress(view_);
    if (address.empty() || !onSite_ || !onSite_(address)) return;
    WebKitWebViewSessionState* session = webkit_web_view_get_session_state(view_);
    GBytes* bytes = webkit_web_view_session_state_serialize(session);
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
    if (data && size > 0 && size <= kMostStateBytes) state_.assign(data, size);
    g_bytes_unref(bytes);
    webkit_web_view_session_state_unref(session);
}

bool TEngineSession::restore(const std::string& state) {
    if (state.empty() || state.size() > kMostStateBytes || !onSite_) return false;
    GBytes* bytes = g_bytes_new(state.data(), state.size());
    WebKitWebViewSessionState* session = webkit_web_view_session_state_new(bytes);
    g_bytes_unref(bytes);
    if (!session) return false;
    // Its page is checked as the engine reads it, before the view takes anything.
    WebKitWebView* probe = WEBKIT_WEB_VIEW(g_object_ref_sink(webkit_web_view_new()));
    webkit_web_view_restore_session_state(probe, session);
    const bool onSite = onSite_(currentAddress(probe));
    g_object_unref(probe);
    if (onSite) {
        webkit_web_view_restore_session_state(view_, session);
        WebKitBackForwardListItem* item =
            webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(view_));
        if (item) webkit_web_view_go_to_back_forward_list_item(view_, item);
        state_ = state;
    }
    webkit_web_view_session_state_unref(session);
    return onSite;
}

}  // namespace kwirl

// SPDX-License-Identifier: MIT
#pragma once
// The view's back/forward list as bytes kept from one run to the next: taken
// each time a page of the home site is shown (never one of the client's own
// pages standing in for a page), and given back at the next start, its page
// loaded again.

#include <functional>
#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitResponsePolicyDecision WebKitResponsePolicyDecision;

namespace kwirl {

class TLoadRecovery;

class TEngineSession {
public:
    using OnSite = std::function<bool(const std::string& address)>;

    TEngineSession(WebKitWebView* view, const TLoadRecovery& recovery, OnSite onSite);
    ~TEngineSession();
    TEngineSession(const TEngineSession&) = delete;
    TEngineSession& operator=(const TEngineSession&) = delete;

    // The answer to the top page's request is in: an answer to a form sent
    // (POST) is never kept, as loading it again would send the form again.
    void answered(WebKitResponsePolicyDecision* decision);
    // The page `address` is shown: once the view has settled on it, its list
    // is taken if it is the home site's own page.
    void pageShown(const std::string& address);
    // The list as it stood at the home site's last page; empty when none was shown.
    const std::string& state() const { return state_; }
    // Forgets what was taken.
    void forget() { state_.clear(); }
    // Gives the view the list in `state` and loads its page; false, nothing
    // changed, when the bytes are no list of the engine's or its page is not
    // the home site's.
    bool restore(const std::string& state);

private:
    void take();

    WebKitWebView* view_;
    const TLoadRecovery& recovery_;
    OnSite onSite_;
    std::string state_;
    unsigned pending_ = 0;     // the idle call that takes the list
    bool formAnswer_ = false;  // the page coming is the answer to a form sent
};

}  // namespace kwirl

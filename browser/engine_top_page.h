// SPDX-License-Identifier: MIT
#pragma once
// Keeps the view's whole page on the home site unless the person moves it
// off: the engine blocks a top-frame load of another site before its request
// goes out, while the page shown is the home site's; a navigation the person
// starts lifts the block until its page is shown. A link of another site the
// person clicks opens in the desktop's web browser instead.

#include <gio/gio.h>

#include <functional>
#include <set>
#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitUserContentFilter WebKitUserContentFilter;
typedef struct _WebKitNavigationAction WebKitNavigationAction;
typedef struct _WebKitResponsePolicyDecision WebKitResponsePolicyDecision;

namespace kwirl {

class TTopPageGuard {
public:
    using OnSite = std::function<bool(const std::string& address)>;
    enum class Verdict { Allow, Refuse, OpenOutside };

    explicit TTopPageGuard(WebKitWebView* view);
    ~TTopPageGuard();
    TTopPageGuard(const TTopPageGuard&) = delete;
    TTopPageGuard& operator=(const TTopPageGuard&) = delete;

    // The home site: `host` and the hosts under it, as `onSite` tells of an address.
    void setHomeSite(const std::string& host, OnSite onSite);
    // Whether `address` is a page of the home site; every address is, until one is set.
    bool onHomeSite(const std::string& address) const;
    // Whether the page shown is the home site's (or none is shown yet).
    bool homePageShown() const;

    // A navigation of the view or of one of its frames, as the engine asks.
    Verdict decide(WebKitNavigationAction* action);
    // A page's first answer: false for a whole page of another site that
    // nobody moved the view to (the block's second line).
    bool responseAllowed(WebKitResponsePolicyDecision* decision);
    // The person moves the view: a toolbar page, Back, Forward, a reload, a
    // window their click opened.
    void personMoves();
    // A page was shown; the view's address is now `address`.
    void pageShown(const std::string& address);
    // A load ended without showing a page.
    void loadEnded();
    // Whether a file from `address` may be offered to the person: the top
    // page's own, or one the person asked for. Each is let through once.
    bool fileAskedFor(const std::string& address);

private:
    static void onRulesSaved(GObject* store, GAsyncResult* result, gpointer self);
    void block(bool on);
    void remember(const std::string& address);

    WebKitWebView* view_;
    OnSite onSite_;
    WebKitUserContentFilter* rules_ = nullptr;
    GCancellable* saving_ = nullptr;
    std::string shown_;
    // Addresses the person asked for, or the top page loads: the files that may come from them.
    std::set<std::string> askedFor_;
    bool blocking_ = false;
    bool personMoving_ = false;
};

// Opens a web address in the desktop's web browser (its default handler for
// http and https); any other address is not opened.
void openInDesktopBrowser(const std::string& address);

}  // namespace kwirl

// SPDX-License-Identifier: MIT
#pragma once
// What the view shows when a page cannot be loaded or its process ends, and
// how the page comes back: the client's own page in place of the engine's
// bare text, and new attempts by themselves while that page is shown.

#include <glib-object.h>

#include <string>

#include "retry_delays.h"

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitWebViewSessionState WebKitWebViewSessionState;

namespace kwirl {

class TLoadRecovery {
public:
    explicit TLoadRecovery(WebKitWebView* view);
    ~TLoadRecovery();
    TLoadRecovery(const TLoadRecovery&) = delete;
    TLoadRecovery& operator=(const TLoadRecovery&) = delete;

    // Whether one of the client's own pages stands in for the page.
    bool showsOwnPage() const { return shown_ != Shown::Page; }
    // Loads the page again now (the pages' button, or a reload key).
    void tryAgain();
    // The person stops the load in progress (Esc); any load asked for after
    // it is theirs to go on with.
    void personStops();
    // After the stop: a first page stopped before the engine began to load
    // it, which the engine then never tells of, is told as stopped all the same.
    void afterPersonStopped();
    void personMovesOn() { stoppedByPerson_ = false; }
    // The person asked for `address`: until a page of the web comes, a stop
    // before the engine began its load is one before any page came.
    void personAsks(const std::string& address) { asked_ = address; }
    // A load of `address` was refused by the window or given up: if it was an
    // attempt of ours, it ended, and the next one is due.
    void attemptEnded(const std::string& address);

private:
    enum class Shown { Page, FailurePage, EndedPage };
    // Where the load of one of our own pages stands: its load runs as any
    // other, and must not be taken for a navigation elsewhere.
    enum class OwnLoad { Idle, Requested, Committed };

    static gboolean onLoadFailed(WebKitWebView*, int event, gchar* uri, GError* error, gpointer self);
    static void onLoadChanged(WebKitWebView*, int event, gpointer self);
    static void onProcessTerminated(WebKitWebView*, int reason, gpointer self);
    static void onAddressChanged(WebKitWebView* view, GParamSpec*, gpointer self);
    static void onNetworkChanged(GObject*, gboolean available, gpointer self);
    static void onRetryMessage(GObject*, gpointer result, gpointer self);

    void showOwnPage(Shown kind, const std::string& html);
    void schedule(unsigned delayMs);
    void cancelSchedule();
    void attempt();
    void backToPage();
    void keepHistoryOf(const std::string& address);

    WebKitWebView* view_;
    GObject* monitor_ = nullptr;
    Shown shown_ = Shown::Page;
    // The address of the portal's page last shown, as the engine committed it
    // (or moved within it): what our page stands for when the page's process
    // ends. Never an address merely asked for, by the window or by a page.
    std::string committed_;
    bool loading_ = false;
    OwnLoad ownLoad_ = OwnLoad::Idle;
    std::string address_;
    bool attemptInFlight_ = false;
    bool retriesByItself_ = false;
    guint timer_ = 0;
    RetryDelays delays_;
    gint64 lastEndUs_ = 0;
    bool endedBefore_ = false;
    // The person stopped the load running, and has asked for none since.
    bool stoppedByPerson_ = false;
    std::string asked_;  // last asked for by the person, until it fails
    void showStoppedBeforeItCame(const std::string& address);
    static gboolean tellStop(gpointer self);
    bool stoppedBeforeStart_ = false;
    std::string stoppedAddress_;
    unsigned stopTold_ = 0;  // the main loop's source that tells of that stop, while pending
    // The history as it was when the page's process ended, given back once our
    // page stands in for it: the engine counts a page shown after a new
    // process starts as a new entry.
    WebKitWebViewSessionState* history_ = nullptr;
};

}  // namespace kwirl

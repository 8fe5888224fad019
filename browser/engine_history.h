// SPDX-License-Identifier: MIT
#pragma once
// Which page the view shows, and whether it came from the history: the engine
// restores a page and its frames (back, forward, its own gestures) without
// asking the window first, so the window is told of them here.

#include <glib-object.h>

#include <functional>
#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitBackForwardList WebKitBackForwardList;
typedef struct _WebKitBackForwardListItem WebKitBackForwardListItem;

namespace kwirl {

class TEngineHistory {
public:
    // `fromHistory` hears the address of a page shown from the history, and
    // then of each of its frames; `shown` the address of every page shown, and
    // of every change of the address shown.
    TEngineHistory(WebKitWebView* view, std::function<void(const std::string&)> fromHistory,
                   std::function<void(const std::string&)> shown);
    ~TEngineHistory();
    TEngineHistory(const TEngineHistory&) = delete;
    TEngineHistory& operator=(const TEngineHistory&) = delete;

    // The address of the page shown: the engine's own runs ahead to a load as
    // soon as it is asked for, before the window's filter ran.
    const std::string& committed() const { return committed_; }
    // A frame of the page shown told its own address.
    void frameShown(const std::string& address);

private:
    static void onLoadChanged(WebKitWebView* view, int event, gpointer self);
    static void onHistoryChanged(WebKitBackForwardList* list, WebKitBackForwardListItem* added, gpointer,
                                 gpointer self);
    static void setItem(WebKitBackForwardListItem*& kept, WebKitBackForwardListItem* item);
    void committedFromHistory();

    WebKitWebView* view_;
    std::function<void(const std::string&)> fromHistory_;
    std::function<void(const std::string&)> shown_;
    std::string committed_;
    bool provisional_ = false;
    // The history entry shown, the last one added, and whether the page shown
    // came from the history.
    WebKitBackForwardListItem* committedItem_ = nullptr;
    WebKitBackForwardListItem* addedItem_ = nullptr;
    bool shownFromHistory_ = false;
};

}  // namespace kwirl

// SPDX-License-Identifier: MIT
#include "engine_history.h"

#include <webkit2/webkit2.h>

namespace kwirl {

TEngineHistory::TEngineHistory(WebKitWebView* view, std::function<void(const std::string&)> fromHistory,
                               std::function<void(const std::string&)> shown)
    : view_(view), fromHistory_(std::move(fromHistory)), shown_(std::move(shown)) {
    g_signal_connect(view_, "load-changed", G_CALLBACK(&TEngineHistory::onLoadChanged), this);
    g_signal_connect(webkit_web_view_get_back_forward_list(view_), "changed",
                     G_CALLBACK(&TEngineHistory::onHistoryChanged), this);
}

TEngineHistory::~TEngineHistory() {
    g_signal_handlers_disconnect_by_data(view_, this);
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_back_forward_list(view_), this);
    setItem(committedItem_, nullptr);
    setItem(addedItem_, nullptr);
}

void TEngineHistory::onLoadChanged(WebKitWebView* view, int event, gpointer self) {
    auto* history = static_cast<TEngineHistory*>(self);
    if (event == WEBKIT_LOAD_STARTED) {
        history->provisional_ = true;
        history->shownFromHistory_ = false;
    }
    if (event == WEBKIT_LOAD_COMMITTED) {
        history->provisional_ = false;
        const gchar* uri = webkit_web_view_get_uri(view);
        history->committed_ = uri ? uri : "";
        history->shown_(history->committed_);
        history->committedFromHistory();
    }
    if (event == WEBKIT_LOAD_FINISHED) history->provisional_ = false;
}

// A load committed. A new page takes an entry of its own in the history
// (added as it commits) and a reload keeps the entry shown; any other entry
// is one the page was restored from, which the window hears of here; its
// frames follow as they are shown, as a new load would tell them.
void TEngineHistory::committedFromHistory() {
    WebKitBackForwardListItem* current =
        webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(view_));
    shownFromHistory_ = current && current != addedItem_ && current != committedItem_;
    setItem(committedItem_, current);
    setItem(addedItem_, nullptr);
    if (shownFromHistory_) fromHistory_(committed_);
}

// Only the frames of a page that came from the history: the engine shows them
// once that page has committed, from its cache too. While another load waits
// to commit, a frame shown is the old page's.
void TEngineHistory::frameShown(const std::string& address) {
    if (!provisional_ && shownFromHistory_) fromHistory_(address);
}

// Keeps a reference to a history entry, for telling entries apart later.
void TEngineHistory::setItem(WebKitBackForwardListItem*& kept, WebKitBackForwardListItem* item) {
    if (item) g_object_ref(item);
    if (kept) g_object_unref(kept);
    kept = item;
}

// A new entry, or a move within the page shown (an anchor, the page's own
// history entry) that changes its address without a load.
void TEngineHistory::onHistoryChanged(WebKitBackForwardList* list, WebKitBackForwardListItem* added, gpointer,
                                      gpointer self) {
    auto* history = static_cast<TEngineHistory*>(self);
    if (added) setItem(history->addedItem_, added);
    if (history->provisional_) return;
    // An entry added once the page committed is that page's.
    if (added) setItem(history->committedItem_, webkit_back_forward_list_get_current_item(list));
    if (WebKitBackForwardListItem* item = webkit_back_forward_list_get_current_item(list)) {
        const gchar* uri = webkit_back_forward_list_item_get_uri(item);
        if (!uri || history->committed_ == uri) return;
        history->committed_ = uri;
        history->shown_(history->committed_);
        // Back or forward within the page: the window follows its address.
        if (!added) history->fromHistory_(history->committed_);
    }
}

}  // namespace kwirl

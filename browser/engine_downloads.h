// SPDX-License-Identifier: MIT
#pragma once
// The files a page of one view offers for saving: the window asks where each
// goes, their progress is reported as the view's progress, and their end as the
// window's event. Without an answer nothing is written.

#include <glib.h>
#include <wx/event.h>

#include <functional>
#include <map>
#include <set>
#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitDownload WebKitDownload;
typedef struct _WebKitWebContext WebKitWebContext;

namespace kwirl {

class TCppWebBrowser;

class TEngineDownloads final : public wxEvtHandler {
public:
    // `progress` reports a fraction of a transfer, 1 at its end.
    TEngineDownloads(WebKitWebView* view, TCppWebBrowser& browser, std::function<void(double)> progress);
    ~TEngineDownloads() override;
    TEngineDownloads(const TEngineDownloads&) = delete;
    TEngineDownloads& operator=(const TEngineDownloads&) = delete;

private:
    static void onStarted(WebKitWebContext*, WebKitDownload* download, gpointer self);
    static gboolean onDecideDestination(WebKitDownload* download, gchar* suggested, gpointer self);
    static void onProgress(WebKitDownload* download, gpointer, gpointer self);
    static void onFailed(WebKitDownload* download, GError* error, gpointer self);
    static void onFinished(WebKitDownload* download, gpointer self);

    void askWhereToSave(WebKitDownload* download, const std::string& suggested);
    void forget(WebKitDownload* download);

    WebKitWebView* view_;
    TCppWebBrowser& browser_;
    std::function<void(double)> progress_;
    // Each download of this view until it ends, with a reference of ours.
    std::set<WebKitDownload*> running_;
    // Why a download failed, told when it ends.
    std::map<WebKitDownload*, std::string> failures_;
};

}  // namespace kwirl

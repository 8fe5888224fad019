// SPDX-License-Identifier: MIT
#pragma once
// The files a page of one view offers for saving: the window asks where each
// goes, their progress is reported as the view's progress, and their end as the
// window's event. Without an answer nothing is written.

#include <glib.h>
#include <wx/event.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "engine_network_process.h"
#include "web_browser.h"

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitDownload WebKitDownload;
typedef struct _WebKitWebContext WebKitWebContext;

namespace kwirl {

class TEngineDownloads final : public wxEvtHandler {
public:
    // `progress` reports a fraction of a transfer, 1 at its end; `offered`
    // tells whether a file from an address may be offered at all.
    TEngineDownloads(WebKitWebView* view, TCppWebBrowser& browser, std::function<void(double)> progress,
                     std::function<bool(const std::string& address)> offered);
    ~TEngineDownloads() override;
    TEngineDownloads(const TEngineDownloads&) = delete;
    TEngineDownloads& operator=(const TEngineDownloads&) = delete;

private:
    static void onStarted(WebKitWebContext*, WebKitDownload* download, gpointer self);
    static gboolean onDecideDestination(WebKitDownload* download, gchar* suggested, gpointer self);
    static void onProgress(WebKitDownload* download, gpointer, gpointer self);
    static void onFailed(WebKitDownload* download, GError* error, gpointer self);
    static void onFinished(WebKitDownload* download, gpointer self);

    // A download of this view until it ends. The engine writes a new file
    // beside the one chosen, and it takes the chosen name only once whole: a
    // file it replaces is kept until then.
    struct Transfer {
        WebKitDownload* download = nullptr;  // with a reference of ours
        std::string source;                  // the file's address
        std::string chosen;                  // where the person said it goes
        std::string temporary;               // what the engine writes meanwhile
        bool replacing = false;
        bool failed = false;     // the engine ended it unfinished (dropped by the person too)
        bool dropped = false;    // by the person, before anything failed
        std::string failure;     // why it failed, told when it ends
        int networkProcess = 0;  // the engine's process that fetches it, 0 when not known
        bool asking = false;     // the person is choosing its place
        // The engine is done with it, or its process is gone: nothing more is
        // asked of the engine for it (a call on it could end the client).
        bool ended = false;
    };
    using Id = std::uint64_t;

    // The download's number here, 0 when it is not (or no more) one of ours.
    Id idOf(WebKitDownload* download) const;
    void askWhereToSave(Id id, const std::string& suggested, const std::string& source);
    void failBeforeWriting(Transfer& transfer, const std::string& failure);
    TDownloadOutcome finish(Transfer& transfer);
    void networkProcessEnded(int pid);
    // Tells the window how a download ended, once the engine's call has returned.
    void tell(const std::string& path, const TDownloadOutcome& outcome);
    void forget(Id id);

    WebKitWebView* view_;
    TCppWebBrowser& browser_;
    std::function<void(double)> progress_;
    std::function<bool(const std::string&)> offered_;
    // Answers are matched by number, never by the engine's object's address,
    // which a later download may reuse once the earlier one is gone.
    std::map<Id, Transfer> running_;
    Id lastId_ = 0;
    TNetworkProcessWatch network_{[this](int pid) { networkProcessEnded(pid); }};
};

}  // namespace kwirl

// SPDX-License-Identifier: MIT
#include "engine_downloads.h"

#include <glib/gstdio.h>
#include <webkit2/webkit2.h>

#include <string>

#include "download_files.h"
#include "translate.h"
#include "web_browser.h"

namespace kwirl {

namespace {

DownloadFailure failureOf(const GError* error) {
    if (!error || error->domain != WEBKIT_DOWNLOAD_ERROR) return DownloadFailure::Other;
    switch (error->code) {
        case WEBKIT_DOWNLOAD_ERROR_CANCELLED_BY_USER: return DownloadFailure::DroppedByPerson;
        case WEBKIT_DOWNLOAD_ERROR_DESTINATION: return DownloadFailure::Destination;
        case WEBKIT_DOWNLOAD_ERROR_NETWORK: return DownloadFailure::Network;
        default: return DownloadFailure::Other;
    }
}

// A transfer the server cut short, fewer bytes than its reply announced, which
// the engine ends as if it were whole: how much came, or nothing when it all
// came. The announced length counts the bytes as sent, so a reply sent
// compressed is not measured.
std::string shortfallOf(WebKitDownload* download) {
    WebKitURIResponse* response = webkit_download_get_response(download);
    if (!response) return {};
    SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response);
    const char* encoding = headers ? soup_message_headers_get_one(headers, "Content-Encoding") : nullptr;
    if (encoding && g_ascii_strcasecmp(encoding, "identity") != 0) return {};
    const guint64 announced = webkit_uri_response_get_content_length(response);
    const guint64 received = webkit_download_get_received_data_length(download);
    if (announced == 0 || received >= announced) return {};
    return fillIn(tr("%s of %s bytes"), std::to_string(received), std::to_string(announced));
}

std::string destinationPath(WebKitDownload* download) {
    const gchar* destination = webkit_download_get_destination(download);
    if (!destination) return {};
    gchar* path = g_filename_from_uri(destination, nullptr, nullptr);
    std::string result = path ? path : destination;
    g_free(path);
    return result;
}
}  // namespace

TEngineDownloads::TEngineDownloads(WebKitWebView* view, TCppWebBrowser& browser, std::function<void(double)> progress)
    : view_(view), browser_(browser), progress_(std::move(progress)) {
    g_signal_connect(webkit_web_view_get_context(view_), "download-started", G_CALLBACK(&TEngineDownloads::onStarted),
                     this);
}

// Downloads still running are left to the engine, which drops them and their
// part-written files when the client ends. Cancelling one here would end the
// client with a crash when the engine's network process has died under it (a
// file name the engine cannot read ends that process): the engine then never
// tells the download's end, and its cancel touches what is gone.
TEngineDownloads::~TEngineDownloads() {
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_context(view_), this);
    for (WebKitDownload* download : running_) {
        g_signal_handlers_disconnect_by_data(download, this);
        g_object_unref(download);
    }
}

void TEngineDownloads::onStarted(WebKitWebContext*, WebKitDownload* download, gpointer self) {
    auto* downloads = static_cast<TEngineDownloads*>(self);
    // The context is the whole process's: only this view's downloads are ours.
    if (webkit_download_get_web_view(download) != downloads->view_) return;
    downloads->running_.insert(WEBKIT_DOWNLOAD(g_object_ref(download)));
    g_signal_connect(download, "decide-destination", G_CALLBACK(&TEngineDownloads::onDecideDestination), self);
    g_signal_connect(download, "notify::estimated-progress", G_CALLBACK(&TEngineDownloads::onProgress), self);
    g_signal_connect(download, "failed", G_CALLBACK(&TEngineDownloads::onFailed), self);
    g_signal_connect(download, "finished", G_CALLBACK(&TEngineDownloads::onFinished), self);
}

// The engine waits for the answer; the dialog is shown once the signal has
// returned, not inside the engine's own call.
gboolean TEngineDownloads::onDecideDestination(WebKitDownload* download, gchar* suggested, gpointer self) {
    auto* downloads = static_cast<TEngineDownloads*>(self);
    const std::string name = downloadFileName(suggested ? suggested : "");
    downloads->CallAfter([downloads, download, name] { downloads->askWhereToSave(download, name); });
    return TRUE;
}

void TEngineDownloads::askWhereToSave(WebKitDownload* download, const std::string& suggested) {
    if (!running_.count(download)) return;
    std::string path;
    bool replace = false;
    try {
        if (browser_.OnFileDownload) browser_.OnFileDownload(&browser_, suggested, path, replace);
    } catch (...) {
        path.clear();  // a handler that fails chose nothing
    }
    if (!running_.count(download)) return;  // ended while the person chose
    if (path.empty()) {
        webkit_download_cancel(download);
        return;
    }
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    if (!uri) {
        webkit_download_cancel(download);
        return;
    }
    webkit_download_set_allow_overwrite(download, replace);
    webkit_download_set_destination(download, uri);
    g_free(uri);
}

void TEngineDownloads::onProgress(WebKitDownload* download, gpointer, gpointer self) {
    const double fraction = webkit_download_get_estimated_progress(download);
    if (fraction < 1.0) static_cast<TEngineDownloads*>(self)->progress_(fraction);  // the end comes with "finished"
}

void TEngineDownloads::onFailed(WebKitDownload* download, GError* error, gpointer self) {
    static_cast<TEngineDownloads*>(self)->failures_[download] =
        downloadFailureText(failureOf(error), error ? error->message : "");
}

// Every download ends here, after its failure if it failed. The window is told
// once the engine's call has returned: it may show a message box.
void TEngineDownloads::onFinished(WebKitDownload* download, gpointer self) {
    auto* downloads = static_cast<TEngineDownloads*>(self);
    const auto failure = downloads->failures_.find(download);
    std::string failureText = failure == downloads->failures_.end() ? std::string() : failure->second;
    const std::string path = destinationPath(download);
    if (failure == downloads->failures_.end()) {
        // Cut short: not saved, and no broken file left under the name chosen.
        const std::string shortfall = shortfallOf(download);
        if (!shortfall.empty()) {
            failureText = downloadFailureText(DownloadFailure::Network, shortfall);
            if (!path.empty()) g_unlink(path.c_str());
        }
    }
    downloads->forget(download);
    downloads->CallAfter([downloads, path, failureText] {
        downloads->progress_(1.0);
        auto& browser = downloads->browser_;
        if (browser.OnDownloadComplete) browser.OnDownloadComplete(&browser, path, failureText);
    });
}

void TEngineDownloads::forget(WebKitDownload* download) {
    failures_.erase(download);
    if (!running_.erase(download)) return;
    g_signal_handlers_disconnect_by_data(download, this);
    g_object_unref(download);
}

}  // namespace kwirl

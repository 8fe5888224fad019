// SPDX-License-Identifier: MIT
#define G_LOG_DOMAIN "kwirl"
#include "engine_downloads.h"

#include <fcntl.h>
#include <glib/gstdio.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include <cerrno>
#include <string>
#include <vector>

#include "download_files.h"
#include "move_without_replacing.h"
#include "file_errors.h"
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

// Why the engine could not write where it was told: the cause the system
// gave when its message names one, else the engine's own words.
std::string failureText(const GError* error) {
    const DownloadFailure failure = failureOf(error);
    if (failure == DownloadFailure::Destination && error) {
        if (auto cause = fileWriteFailureIn(error->message)) return *cause;
    }
    return downloadFailureText(failure, error ? error->message : "");
}

// A new file of its own beside `chosen`, for the transfer to write; errno set when none could be made.
std::string makeTemporaryBeside(const std::string& chosen) {
    gchar* folder = g_path_get_dirname(chosen.c_str());
    gchar* pattern = g_build_filename(folder, ".kwirl-download-XXXXXX", nullptr);
    g_free(folder);
    std::string made;
    const int fd = g_mkstemp_full(pattern, O_RDWR | O_CLOEXEC, 0666);  // the umask decides, as for any file saved
    if (fd >= 0) {
        close(fd);
        made = pattern;
    }
    g_free(pattern);
    return made;
}

// The new file made for a transfer, and the one the engine writes beside it
// until the transfer is whole, which nobody removes when the engine's network
// process dies under the transfer.
void removeTemporary(const std::string& temporary) {
    if (temporary.empty()) return;
    g_unlink(temporary.c_str());
    g_unlink((temporary + ".wkdownload").c_str());
}

// The whole file takes the chosen name: over the old one when the person said
// to replace it, else only while no file has it; errno set on failure.
bool moveIntoPlace(const std::string& from, const std::string& to, bool replacing) {
    if (replacing) return g_rename(from.c_str(), to.c_str()) == 0;
    return moveWithoutReplacing(from, to);
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

TEngineDownloads::TEngineDownloads(WebKitWebView* view, TCppWebBrowser& browser, std::function<void(double)> progress,
                                   std::function<bool(const std::string&)> offered)
    : view_(view), browser_(browser), progress_(std::move(progress)), offered_(std::move(offered)) {
    g_signal_connect(webkit_web_view_get_context(view_), "download-started", G_CALLBACK(&TEngineDownloads::onStarted),
                     this);
}

// Downloads still running are left to the engine, which drops them when the
// client ends. Cancelling one here would end the client with a crash when the
// engine's network process has died under it (a file name the engine cannot
// read ends that process): the engine then never tells the download's end,
// and its cancel touches what is gone. Their new files, not yet whole, go.
TEngineDownloads::~TEngineDownloads() {
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_context(view_), this);
    for (auto& [id, transfer] : running_) {
        g_signal_handlers_disconnect_by_data(transfer.download, this);
        g_object_unref(transfer.download);
        removeTemporary(transfer.temporary);
    }
}

TEngineDownloads::Id TEngineDownloads::idOf(WebKitDownload* download) const {
    for (const auto& [id, transfer] : running_) {
        if (transfer.download == download) return id;
    }
    return 0;
}

void TEngineDownloads::onStarted(WebKitWebContext*, WebKitDownload* download, gpointer self) {
    auto* downloads = static_cast<TEngineDownloads*>(self);
    // The context is the whole process's: only this view's downloads are ours.
    if (webkit_download_get_web_view(download) != downloads->view_) return;
    WebKitURIRequest* request = webkit_download_get_request(download);
    const gchar* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
    const std::string source = uri ? uri : "";
    // A file nobody asked for (a frame of an advert offering one by itself):
    // dropped before anyone is asked, while nothing is written yet.
    if (!downloads->offered_(source)) {
        g_debug("dropped a file offered without the person asking: %s", source.substr(0, 200).c_str());
        webkit_download_cancel(download);
        return;
    }
    Transfer transfer;
    transfer.source = source;
    transfer.networkProcess = downloads->network_.current();
    transfer.download = WEBKIT_DOWNLOAD(g_object_ref(download));
    downloads->running_.emplace(++downloads->lastId_, std::move(transfer));
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
    const Id id = downloads->idOf(download);
    const auto found = downloads->running_.find(id);
    const std::string source = found == downloads->running_.end() ? std::string() : found->second.source;
    downloads->CallAfter([downloads, id, name, source] { downloads->askWhereToSave(id, name, source); });
    return TRUE;
}

void TEngineDownloads::askWhereToSave(Id id, const std::string& suggested, const std::string& source) {
    const auto asked = running_.find(id);
    if (asked == running_.end() || asked->second.ended) return;
    asked->second.asking = true;
    std::string path;
    bool replace = false;
    try {
        if (browser_.OnFileDownload) browser_.OnFileDownload(&browser_, suggested, source, path, replace);
    } catch (...) {
        path.clear();  // a handler that fails chose nothing
    }
    network_.noticeEnded();  // a process that died while the person chose ends its downloads first
    const auto found = running_.find(id);
    if (found == running_.end()) return;
    Transfer& transfer = found->second;
    transfer.asking = false;
    if (transfer.ended) {
        // It ended while the person chose: a place chosen is told why nothing comes there.
        TDownloadOutcome outcome{TDownloadOutcome::End::Failed, transfer.failure};
        if (path.empty() || transfer.dropped) outcome = {TDownloadOutcome::End::Dropped, {}};
        if (outcome.end == TDownloadOutcome::End::Failed && outcome.failure.empty())
            outcome.failure = tr("The transfer ended before the file could be saved.");
        forget(id);
        tell(path, outcome);
        return;
    }
    if (path.empty()) {
        webkit_download_cancel(transfer.download);
        return;
    }
    transfer.chosen = path;
    transfer.replacing = replace;
    transfer.temporary = makeTemporaryBeside(path);
    if (transfer.temporary.empty()) {
        const int error = errno;
        gchar* folder = g_path_get_dirname(path.c_str());
        const bool folderExists = g_file_test(folder, G_FILE_TEST_IS_DIR);
        g_free(folder);
        failBeforeWriting(transfer, fileWriteFailureText(error, folderExists));
        return;
    }
    gchar* uri = g_filename_to_uri(transfer.temporary.c_str(), nullptr, nullptr);
    if (!uri) {
        failBeforeWriting(transfer, downloadFailureText(DownloadFailure::Other, transfer.temporary));
        return;
    }
    webkit_download_set_allow_overwrite(transfer.download, TRUE);  // the new file made for it
    webkit_download_set_destination(transfer.download, uri);
    g_free(uri);
}

// Nothing was written: the download is dropped, and its end tells why.
void TEngineDownloads::failBeforeWriting(Transfer& transfer, const std::string& failure) {
    transfer.failure = failure;
    webkit_download_cancel(transfer.download);
}

void TEngineDownloads::onProgress(WebKitDownload* download, gpointer, gpointer self) {
    const double fraction = webkit_download_get_estimated_progress(download);
    if (fraction < 1.0) static_cast<TEngineDownloads*>(self)->progress_(fraction);  // the end comes with "finished"
}

void TEngineDownloads::onFailed(WebKitDownload* download, GError* error, gpointer self) {
    auto* downloads = static_cast<TEngineDownloads*>(self);
    const auto found = downloads->running_.find(downloads->idOf(download));
    if (found == downloads->running_.end()) return;
    Transfer& transfer = found->second;
    transfer.failed = true;
    if (!transfer.failure.empty()) return;  // the first cause holds
    if (failureOf(error) == DownloadFailure::DroppedByPerson) {
        transfer.dropped = true;
    } else {
        transfer.failure = failureText(error);
    }
}

// The end of a transfer: the whole file under the name chosen, or, when it
// failed or was cut short, its new file gone and the old one as it was. Says why it failed.
TDownloadOutcome TEngineDownloads::finish(Transfer& transfer) {
    std::string failure = transfer.failure;
    // Cut short: fewer bytes than announced, which the engine ends as if whole.
    if (!transfer.failed && failure.empty()) {
        const std::string shortfall = shortfallOf(transfer.download);
        if (!shortfall.empty()) failure = downloadFailureText(DownloadFailure::Network, shortfall);
    }
    if (!transfer.failed && failure.empty() && !transfer.temporary.empty() &&
        !moveIntoPlace(transfer.temporary, transfer.chosen, transfer.replacing)) {
        failure = errno == EEXIST ? downloadFailureText(DownloadFailure::Destination, {}) : fileWriteFailureText(errno);
    }
    const bool whole = !transfer.failed && failure.empty();
    if (!whole) removeTemporary(transfer.temporary);
    if (whole) return {TDownloadOutcome::End::Saved, {}};
    if (transfer.dropped) return {TDownloadOutcome::End::Dropped, {}};
    if (transfer.replacing) failure += "\n" + tr("The file that was there is kept as it was.");
    return {TDownloadOutcome::End::Failed, failure};
}

// The engine's end of a download, after its failure if it failed. One whose
// place the person is still choosing is told once they have chosen.
void TEngineDownloads::onFinished(WebKitDownload* download, gpointer self) {
    auto* downloads = static_cast<TEngineDownloads*>(self);
    const Id id = downloads->idOf(download);
    const auto found = downloads->running_.find(id);
    if (found == downloads->running_.end()) return;
    Transfer& transfer = found->second;
    transfer.ended = true;
    if (transfer.asking) return;
    const TDownloadOutcome outcome = downloads->finish(transfer);
    const std::string path = transfer.chosen.empty() ? destinationPath(download) : transfer.chosen;
    downloads->forget(id);
    downloads->tell(path, outcome);
}

// The engine's network process ended: its downloads end with it, though the
// engine never says so for one that waits for its place. Their new files go
// at once; one whose place the person is choosing is told once they have
// chosen, and one not yet offered is not offered.
void TEngineDownloads::networkProcessEnded(int pid) {
    std::vector<Id> gone;
    for (auto& [id, transfer] : running_) {
        if (transfer.ended || (transfer.networkProcess != pid && transfer.networkProcess != 0)) continue;
        transfer.ended = true;
        transfer.failed = true;
        if (transfer.failure.empty())
            transfer.failure = tr("The browser's network process ended before the file was saved.");
        if (!transfer.asking) gone.push_back(id);
    }
    for (const Id id : gone) {
        Transfer& transfer = running_.at(id);
        const std::string path = transfer.chosen;
        const TDownloadOutcome outcome = finish(transfer);
        forget(id);
        if (!path.empty()) tell(path, outcome);
    }
}

// Once the engine's call has returned: the window may show a message box.
void TEngineDownloads::tell(const std::string& path, const TDownloadOutcome& outcome) {
    CallAfter([this, path, outcome] {
        progress_(1.0);
        if (browser_.OnDownloadComplete) browser_.OnDownloadComplete(&browser_, path, outcome);
    });
}

void TEngineDownloads::forget(Id id) {
    const auto found = running_.find(id);
    if (found == running_.end()) return;
    WebKitDownload* download = found->second.download;
    running_.erase(found);
    g_signal_handlers_disconnect_by_data(download, this);
    g_object_unref(download);
}

}  // namespace kwirl

// SPDX-License-Identifier: MIT
#include "error_pages.h"

namespace kwirl {

namespace {

// Error domains and codes as the engine and its network library name them.
constexpr std::string_view kHttpTransportDomain = "soup-http-error-quark";
constexpr int kCannotResolve = 2, kCannotResolveProxy = 3, kCannotConnect = 4, kCannotConnectProxy = 5,
              kSslFailed = 6, kTlsFailed = 11;
constexpr std::string_view kIoDomain = "g-io-error-quark";
constexpr int kIoTimedOut = 24, kIoConnectionRefused = 39, kIoHostUnreachable = 37, kIoNetworkUnreachable = 38;
constexpr std::string_view kResolverDomain = "g-resolver-error-quark";
constexpr std::string_view kTlsDomain = "g-tls-error-quark";
constexpr std::string_view kNetworkDomain = "WebKitNetworkError";
constexpr int kNetworkCancelled = 302, kUnknownProtocol = 301;
constexpr std::string_view kPolicyDomain = "WebKitPolicyError";
constexpr int kInterruptedByPolicy = 102;
constexpr std::string_view kPluginDomain = "WebKitPluginError";
constexpr int kPluginWillHandleLoad = 204;

// An address is shown whole up to this length, which no real address reaches.
constexpr std::size_t kShownAddressLength = 2000;

struct Wording {
    const char* title;
    const char* explanation;
};

Wording wordingFor(LoadFailure failure) {
    switch (failure) {
        case LoadFailure::NoConnection:
            return {"The portal cannot be reached",
                    "The connection to the server was refused or the network is down."};
        case LoadFailure::NameNotFound:
            return {"The server was not found", "The server's name could not be looked up. Check the network."};
        case LoadFailure::TimedOut:
            return {"The portal did not answer in time", "The server took too long to answer."};
        case LoadFailure::InsecureConnection:
            return {"The connection is not secure",
                    "The server's identity could not be checked, so the page was not loaded."};
        case LoadFailure::CannotShow:
            return {"The page cannot be shown here",
                    "The address is not a page the client can show, such as a file to save or another program's link."};
        case LoadFailure::Other:
            break;
    }
    return {"The page could not be loaded", "Something went wrong while loading the page."};
}

const char* wordingFor(PageEnd end) {
    switch (end) {
        case PageEnd::Crashed:
            return "The page's process stopped unexpectedly.";
        case PageEnd::OutOfMemory:
            return "The page used too much memory and was stopped.";
        case PageEnd::Ended:
            break;
    }
    return "The page's process was ended.";
}

std::string shownAddress(std::string_view address) {
    if (address.size() <= kShownAddressLength) return escapeHtml(address);
    return escapeHtml(address.substr(0, kShownAddressLength)) + "&hellip;";
}

// One page for both cases: a heading, the explanation, the address, and a button
// that asks the client to load the address again.
std::string page(std::string_view title, std::string_view explanation, std::string_view address,
                 std::string_view detail, std::string_view button, std::string_view note) {
    std::string html =
        "<!DOCTYPE html><html><head><meta charset='utf-8'><title>";
    html += escapeHtml(title);
    html +=
        "</title><style>"
        "body{font-family:sans-serif;background:#f4f1ea;color:#222;margin:0;display:flex;justify-content:center}"
        "main{max-width:40em;margin-top:12vh;padding:0 1em}"
        "h1{font-size:1.6em}.address{font-family:monospace;word-break:break-all;background:#fff;padding:.4em}"
        ".detail{color:#666;font-size:.9em}button{font-size:1.1em;padding:.4em 1.2em}"
        "</style></head><body><main><h1>";
    html += escapeHtml(title);
    html += "</h1><p>";
    html += escapeHtml(explanation);
    html += "</p><p class='address'>";
    html += shownAddress(address);
    html += "</p>";
    if (!detail.empty()) html += "<p class='detail'>" + escapeHtml(detail) + "</p>";
    html += "<p><button id='retry' autofocus>";
    html += escapeHtml(button);
    html += "</button></p>";
    if (!note.empty()) html += "<p class='detail'>" + escapeHtml(note) + "</p>";
    html += "<script>document.getElementById('retry').onclick=function(){"
            "var h=window.webkit&&window.webkit.messageHandlers&&window.webkit.messageHandlers.";
    html += kRetryMessage;
    html += ";if(h)h.postMessage('');};</script></main></body></html>";
    return html;
}

}  // namespace

LoadFailure classifyLoadFailure(std::string_view domain, int code) {
    if (domain == kHttpTransportDomain) {
        switch (code) {
            case kCannotConnect:
            case kCannotConnectProxy:
                return LoadFailure::NoConnection;
            case kCannotResolve:
            case kCannotResolveProxy:
                return LoadFailure::NameNotFound;
            case kSslFailed:
            case kTlsFailed:
                return LoadFailure::InsecureConnection;
            default:
                return LoadFailure::Other;
        }
    }
    if (domain == kIoDomain) {
        switch (code) {
            case kIoConnectionRefused:
            case kIoHostUnreachable:
            case kIoNetworkUnreachable:
                return LoadFailure::NoConnection;
            case kIoTimedOut:
                return LoadFailure::TimedOut;
            default:
                return LoadFailure::Other;
        }
    }
    if (domain == kResolverDomain) return LoadFailure::NameNotFound;
    if (domain == kTlsDomain) return LoadFailure::InsecureConnection;
    if (domain == kPolicyDomain || (domain == kNetworkDomain && code == kUnknownProtocol)) return LoadFailure::CannotShow;
    return LoadFailure::Other;
}

bool mayLoadLater(LoadFailure failure) {
    return failure != LoadFailure::InsecureConnection && failure != LoadFailure::CannotShow;
}

bool isAbandonedLoad(std::string_view domain, int code) {
    return (domain == kNetworkDomain && code == kNetworkCancelled) ||
           (domain == kPolicyDomain && code == kInterruptedByPolicy) ||
           (domain == kPluginDomain && code == kPluginWillHandleLoad);
}

std::string escapeHtml(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\'': escaped += "&#39;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

std::string failurePageHtml(LoadFailure failure, std::string_view address, std::string_view detail) {
    const Wording wording = wordingFor(failure);
    return page(wording.title, wording.explanation, address, detail, "Try again",
                mayLoadLater(failure) ? "The page is tried again by itself while this is shown." : "");
}

std::string pageEndedHtml(PageEnd end, std::string_view address, bool reloadingByItself) {
    return page("The page stopped", wordingFor(end), address, {}, "Reload",
                reloadingByItself ? "It is loaded again by itself in a moment." : "");
}

}  // namespace kwirl

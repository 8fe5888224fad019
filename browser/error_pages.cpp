// SPDX-License-Identifier: MIT
#include "error_pages.h"

#include <gio/gio.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <stdexcept>

#include "error_css.h"
#include "error_html.h"
#include "translatable.h"
#include "translate.h"

namespace kwirl {

namespace {

// An address is shown whole up to this length, which no real address reaches.
constexpr std::size_t kShownAddressLength = 2000;

// What a page of each kind says, in the user's language when it is shown.
// Every sentence is whole, to be translated as one.
struct PageWording {
    PageKind kind;
    const char* title;
    const char* explanation;
    const char* button;
    bool retriesByItself;
    const char* retryNote;  // shown while the page is tried again by itself
    // The engine's own message is shown below, as a detail, only for failures
    // the client has no words of its own for: it is in English whatever the
    // user's language.
    bool engineDetail = false;
};

constexpr const char* kTryAgain = translatable("Try again");
constexpr const char* kReload = translatable("Reload");
constexpr const char* kPageStopped = translatable("The page stopped");
constexpr const char* kFailedRetryNote = translatable("The page is tried again by itself while this is shown.");
constexpr const char* kEndedRetryNote = translatable("It is loaded again by itself in a moment.");

constexpr std::array kPageWordings = {
    PageWording{PageKind::NoConnection, translatable("The portal cannot be reached"),
                translatable("The connection to the server was refused or the network is down."), kTryAgain, true,
                kFailedRetryNote},
    PageWording{PageKind::NameNotFound, translatable("The server was not found"),
                translatable("The server's name could not be looked up. Check the network."), kTryAgain, true,
                kFailedRetryNote},
    PageWording{PageKind::TimedOut, translatable("The portal did not answer in time"),
                translatable("The server took too long to answer."), kTryAgain, true, kFailedRetryNote},
    PageWording{PageKind::InsecureConnection, translatable("The connection is not secure"),
                translatable("The server's identity could not be checked, so the page was not loaded."), kTryAgain,
                false, ""},
    PageWording{PageKind::CannotShow, translatable("The page cannot be shown here"),
                translatable("The address is not a page the client can show, such as a file to save or another "
                             "program's link."),
                kTryAgain, false, ""},
    PageWording{PageKind::LoadFailed, translatable("The page could not be loaded"),
                translatable("Something went wrong while loading the page."), kTryAgain, true, kFailedRetryNote, true},
    PageWording{PageKind::Crashed, kPageStopped, translatable("The page's process stopped unexpectedly."), kReload,
                true, kEndedRetryNote},
    PageWording{PageKind::OutOfMemory, kPageStopped, translatable("The page used too much memory and was stopped."),
                kReload, true, kEndedRetryNote},
    PageWording{PageKind::ProcessEnded, kPageStopped, translatable("The page's process was ended."), kReload, true,
                kEndedRetryNote},
    PageWording{PageKind::Stopped, translatable("Loading was stopped"),
                translatable("The page was stopped before it came, so there is nothing to show yet."),
                translatable("Load the page again"), false, ""},
};

constexpr bool rowsInKindOrder() {
    for (std::size_t i = 0; i < kPageWordings.size(); ++i) {
        if (static_cast<std::size_t>(kPageWordings[i].kind) != i) return false;
    }
    return kPageWordings.size() == static_cast<std::size_t>(PageKind::Count);
}
static_assert(rowsInKindOrder(), "one row per page kind, in the enum's order");

const PageWording& wordingFor(PageKind kind) { return kPageWordings.at(static_cast<std::size_t>(kind)); }

std::string shownAddress(std::string_view address) {
    if (address.size() <= kShownAddressLength) return escapeHtml(address);
    return escapeHtml(address.substr(0, kShownAddressLength)) + "&hellip;";
}

// A paragraph of small print, or nothing for no text.
std::string detailParagraph(std::string_view text) {
    return text.empty() ? std::string() : "<p class='detail'>" + escapeHtml(text) + "</p>";
}

struct Placeholder {
    std::string_view name;
    std::string value;
};

// The template with each {{name}} replaced by its value, in one pass: a value
// is never read again, so text put into the page cannot name a placeholder.
std::string filledIn(std::string_view page, const std::initializer_list<Placeholder>& values) {
    std::string filled;
    std::size_t from = 0;
    for (std::size_t open = page.find("{{"); open != std::string_view::npos; open = page.find("{{", from)) {
        const std::size_t close = page.find("}}", open);
        if (close == std::string_view::npos) break;
        const std::string_view name = page.substr(open + 2, close - open - 2);
        const auto value =
            std::find_if(values.begin(), values.end(), [&](const Placeholder& p) { return p.name == name; });
        if (value == values.end()) throw std::logic_error("the page names an unknown placeholder");
        filled.append(page.substr(from, open - from)).append(value->value);
        from = close + 2;
    }
    return filled.append(page.substr(from));
}

}  // namespace

PageKind classifyLoadFailure(GQuark domain, int code) {
    if (domain == G_IO_ERROR) {
        switch (static_cast<GIOErrorEnum>(code)) {
            case G_IO_ERROR_CONNECTION_REFUSED:
            case G_IO_ERROR_HOST_UNREACHABLE:
            case G_IO_ERROR_NETWORK_UNREACHABLE: return PageKind::NoConnection;
            case G_IO_ERROR_TIMED_OUT: return PageKind::TimedOut;
            default: return PageKind::LoadFailed;
        }
    }
    if (domain == G_RESOLVER_ERROR) return PageKind::NameNotFound;
    if (domain == G_TLS_ERROR) return PageKind::InsecureConnection;
    if (domain == WEBKIT_POLICY_ERROR ||
        (domain == WEBKIT_NETWORK_ERROR && code == WEBKIT_NETWORK_ERROR_UNKNOWN_PROTOCOL)) {
        return PageKind::CannotShow;
    }
    return PageKind::LoadFailed;
}

bool retriesByItself(PageKind kind) { return wordingFor(kind).retriesByItself; }

// The engine's code for a load its content rules blocked, which it does not name.
constexpr int kBlockedByContentRules = 104;

bool isRefusedByRules(GQuark domain, int code) {
    return domain == WEBKIT_POLICY_ERROR && code == kBlockedByContentRules;
}

bool isAbandonedLoad(GQuark domain, int code) {
    return isRefusedByRules(domain, code) ||
           (domain == WEBKIT_NETWORK_ERROR && code == WEBKIT_NETWORK_ERROR_CANCELLED) ||
           (domain == WEBKIT_POLICY_ERROR && code == WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE) ||
           (domain == WEBKIT_PLUGIN_ERROR && code == WEBKIT_PLUGIN_ERROR_WILL_HANDLE_LOAD);
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

std::string ownPageHtml(PageKind kind, std::string_view address, std::string_view detail, bool retrying) {
    const PageWording& wording = wordingFor(kind);
    const bool noted = retrying && *wording.retryNote;  // no empty text is looked up: "" names the catalogue's header
    // TRANSLATORS: the language of this translation as a page names it (HTML's
    // lang), so that a screen reader reads the client's pages in its voice.
    return filledIn(kErrorHtml, {{"language", escapeHtml(tr("en"))},
                                 {"title", escapeHtml(tr(wording.title))},
                                 {"style", kErrorCss},
                                 {"explanation", escapeHtml(tr(wording.explanation))},
                                 {"address", shownAddress(address)},
                                 {"detail", detailParagraph(wording.engineDetail ? detail : "")},
                                 {"button", escapeHtml(tr(wording.button))},
                                 {"note", detailParagraph(noted ? tr(wording.retryNote) : "")}});
}

}  // namespace kwirl

// SPDX-License-Identifier: MIT
#pragma once
// The client's own pages for a page that could not be loaded and for a page
// whose process ended. Plain text in, HTML out: no engine here. The page itself
// is browser/pages/error.html with its style and script beside it; what each
// kind of page says is one row of a table in error_pages.cpp.

#include <glib.h>

#include <string>
#include <string_view>

namespace kwirl {

// Each page the client shows of its own: why a page could not be loaded, or
// why its process ended, in the words a person is shown.
enum class PageKind {
    NoConnection,
    NameNotFound,
    TimedOut,
    InsecureConnection,
    CannotShow,
    LoadFailed,  // any other failure of a load
    Crashed,
    OutOfMemory,
    ProcessEnded,
    Stopped,  // the first page was stopped before anything was shown
    // Not a kind: how many there are.
    Count
};

// Whether the page loads again by itself (when the network or the server is
// back, or after an ended process): a page the client cannot show, or a server
// whose identity fails, will not.
bool retriesByItself(PageKind kind);

// What a failed load means, from the error's domain and code as the engine
// reports them.
PageKind classifyLoadFailure(GQuark domain, int code);

// Whether the error only says the load was given up (stopped, replaced by
// another, refused by the window or by the rules that keep the whole page on
// the portal): nothing failed, so no page is shown.
bool isAbandonedLoad(GQuark domain, int code);
// Whether the error says the engine's rules refused the load before its
// request went out; the engine would show a page of its own for it.
bool isRefusedByRules(GQuark domain, int code);

// Text with the characters that mean something in HTML written as entities.
std::string escapeHtml(std::string_view text);

// The page of `kind` for `address`: what happened in plain words (in the
// user's language, which the page names for screen readers), the address
// and, for a failure the client has no words for, the engine's own message
// (`detail`, may be empty) as text, and the
// button that loads the address again; `retrying` adds that this happens by
// itself.
std::string ownPageHtml(PageKind kind, std::string_view address, std::string_view detail, bool retrying);

// The name of the message that the pages' buttons post to the client, from
// the client's own script world (browser/scripts/retry_button.js).
inline constexpr const char* kRetryMessage = "kwirlRetry";

}  // namespace kwirl

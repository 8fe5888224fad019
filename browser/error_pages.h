// SPDX-License-Identifier: MIT
#pragma once
// The client's own pages for a page that could not be loaded and for a page
// whose process ended. Plain text in, HTML out: no engine here.

#include <string>
#include <string_view>

namespace kwirl {

// Why a page could not be loaded, in the words a person is shown.
enum class LoadFailure { NoConnection, NameNotFound, TimedOut, InsecureConnection, CannotShow, Other };

// Whether the page may load by itself later (the network or the server back):
// a page the client cannot show, or a server whose identity fails, will not.
bool mayLoadLater(LoadFailure failure);

// What a failed load means, from the error's domain name and code as the
// engine reports them.
LoadFailure classifyLoadFailure(std::string_view domain, int code);

// Whether the error only says the load was given up (stopped, replaced by
// another, refused by the window): nothing failed, so no page is shown.
bool isAbandonedLoad(std::string_view domain, int code);

// Why a page's process ended.
enum class PageEnd { Crashed, OutOfMemory, Ended };

// Text with the characters that mean something in HTML written as entities.
std::string escapeHtml(std::string_view text);

// The failure page for `address`: what failed in plain words, the address and
// the engine's own message as text, and a "Try again" button.
std::string failurePageHtml(LoadFailure failure, std::string_view address, std::string_view detail);

// The page shown when the page's process ended, with a "Reload" button.
std::string pageEndedHtml(PageEnd end, std::string_view address, bool reloadingByItself);

// The name of the message that the pages' buttons post to the client.
inline constexpr const char* kRetryMessage = "kwirlRetry";

}  // namespace kwirl

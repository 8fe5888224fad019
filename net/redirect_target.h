// SPDX-License-Identifier: MIT
#pragma once
// Where a redirect leads: the reply's Location value resolved against the
// address just requested, as references are resolved on the web (RFC 3986).

#include <string>

namespace kwirl {

// `requested` is the absolute http address of the request just made. The
// value is trimmed of blanks and tabs; inside it they are percent-encoded; the
// fragment is dropped (it is never sent). An empty value leads to the root of
// the same server. The result names its scheme and server ("http://server/path").
// Raises ESockError Failure::RedirectRefused, its message saying why, for a value with
// a control character, one that is no valid address, or one that is not http:.
std::string redirectTarget(const std::string& requested, const std::string& location);

}  // namespace kwirl

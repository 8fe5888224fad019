// SPDX-License-Identifier: MIT
#pragma once
// What the engine is given to keep the view on the portal's site: the rules
// that stop any load of a whole page (the top frame) off the site before its
// request goes out, and the script that silences other sites' frames.

#include <string>

namespace kwirl {

// The engine's content rules, as JSON: every top-frame document is blocked but
// one on `host` or a host under it (any port, http or https), or about:blank.
std::string topPageRules(const std::string& host);

// The dialogs' guard script for `host`, ready to be put into every frame.
std::string dialogsGuardScript(const std::string& host);

}  // namespace kwirl

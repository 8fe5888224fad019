// SPDX-License-Identifier: MIT
#define G_LOG_DOMAIN "kwirl"
#include "guard.h"

#include <glib.h>

#include "exception_text.h"

namespace kwirl {

void logSwallowedFailure(const char* label) noexcept {
    try {
        const std::string message = currentExceptionMessage();
        g_debug("failure dropped while %s: %s", label, message.empty() ? "(no message)" : message.c_str());
    } catch (...) {
        // No memory even for the line: the failure goes unlogged, as it went before.
    }
}

}  // namespace kwirl

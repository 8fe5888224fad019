// SPDX-License-Identifier: MIT
#pragma once
// Waiting in tests: block in the main loop until a condition holds or a
// deadline passes, dispatching everything meanwhile. No sleeping, no spinning.

#include <glib.h>

#include <functional>

namespace kwirl::test {

inline bool runLoopUntil(const std::function<bool()>& done, unsigned timeoutMs) {
    bool expired = false;
    const guint deadline = g_timeout_add(
        timeoutMs, [](gpointer flag) { return *static_cast<bool*>(flag) = true, G_SOURCE_REMOVE; }, &expired);
    while (!done() && !expired) g_main_context_iteration(nullptr, TRUE);
    if (!expired) g_source_remove(deadline);
    return done();
}

// Dispatches what is pending for a while: for effects that have no event to wait for.
inline void runLoopFor(unsigned ms) {
    runLoopUntil([] { return false; }, ms);
}

}  // namespace kwirl::test

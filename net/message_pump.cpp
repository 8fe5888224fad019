// SPDX-License-Identifier: MIT
#include "message_pump.h"

#include <glib.h>

namespace kwirl {

namespace {
// A source that re-arms itself on every dispatch would keep the context
// pending for ever; stop after this many rounds and let the caller go on.
constexpr int kMostRoundsPerDispatch = 10000;
}  // namespace

void dispatchPendingMessages() {
    for (int round = 0; round < kMostRoundsPerDispatch && g_main_context_pending(nullptr); ++round) {
        g_main_context_iteration(nullptr, FALSE);
    }
}

void waitForNextMessage() { g_main_context_iteration(nullptr, TRUE); }

}  // namespace kwirl

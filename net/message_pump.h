// SPDX-License-Identifier: MIT
#pragma once
// Dispatching the application's pending messages: the GUI, socket readiness
// and timers all arrive through GLib's default main context.

namespace kwirl {

// Dispatches everything that is pending now, without waiting for more.
void dispatchPendingMessages();

// Blocks in the main context until at least one source is dispatched, and dispatches it.
void waitForNextMessage();

}  // namespace kwirl

// SPDX-License-Identifier: MIT
#pragma once
// One client per session: a second start brings the first client's window
// forward and ends, so that two clients never share the engine's stores. Where
// the session has no bus to meet on, each start runs on its own.

#include <functional>

namespace kwirl {

// Registers this start with the session (once): true when another client
// already runs in it. While this start runs, later ones find it.
bool anotherClientRuns();

// Registers this start with the session. True when another client already
// runs: it has been asked to bring its window forward, and this start ends.
bool handOverToRunningClient();

// What this client does when a later start asks it to come forward.
void onAnotherStart(std::function<void()> comeForward);

}  // namespace kwirl

// SPDX-License-Identifier: MIT
#pragma once
// What is set up for the engine once per process, before its first view:
// whether web content runs in the engine's sandbox, and the stores it keeps
// across runs. Every view of the process shares them.

namespace kwirl {

void setUpEngineOnce();

}  // namespace kwirl

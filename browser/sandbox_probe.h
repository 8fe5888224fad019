// SPDX-License-Identifier: MIT
#pragma once

namespace kwirl {

// Whether bubblewrap can make the namespaces of the engine's sandbox, found by
// running it once. The probe makes and drops a set of namespaces, which takes
// the kernel a few milliseconds; started at the top of main, it runs beside the
// toolkit's start instead of in front of the first web process.
void startSandboxProbe();

// Why the sandbox cannot be used, or nullptr when it can. Takes the answer of
// the probe started earlier (waiting for it if it still runs), or probes now.
const char* sandboxProbeFailure();

}  // namespace kwirl

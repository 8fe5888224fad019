// SPDX-License-Identifier: MIT
// The sandbox probe: started early and answered later, it says what a probe
// made on the spot would say; without bubblewrap it says so.

#include "sandbox_probe.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace kwirl {
namespace {

std::string answer(const char* failure) { return failure ? failure : "(sandbox usable)"; }

TEST(SandboxProbe, AnEarlyProbeAnswersAsAProbeOnTheSpot) {
    const std::string onTheSpot = answer(sandboxProbeFailure());
    startSandboxProbe();
    EXPECT_EQ(answer(sandboxProbeFailure()), onTheSpot);
    // Its answer is taken once; asking again probes again.
    EXPECT_EQ(answer(sandboxProbeFailure()), onTheSpot);
}

TEST(SandboxProbe, WithoutBubblewrapTheSandboxIsRefused) {
    const char* path = std::getenv("PATH");
    const std::string saved = path ? path : "";
    setenv("PATH", "/nonexistent", 1);
    startSandboxProbe();
    const std::string early = answer(sandboxProbeFailure());
    const std::string onTheSpot = answer(sandboxProbeFailure());
    setenv("PATH", saved.c_str(), 1);
    EXPECT_EQ(early, "bubblewrap (bwrap) is not installed");
    EXPECT_EQ(onTheSpot, "bubblewrap (bwrap) is not installed");
}

}  // namespace
}  // namespace kwirl

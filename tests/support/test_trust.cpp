// SPDX-License-Identifier: MIT
// Linked whole into the tests and into the test copy of the client, never into
// the client as shipped: a test names the certificate of its loopback portal
// in KWIRL_TEST_CA_FILE, trusted besides the system's store.

#include <cstdlib>

#include "trusted_certificates.h"

namespace {
const bool kTestTrustTaken = [] {
    if (const char* file = std::getenv("KWIRL_TEST_CA_FILE")) kwirl::trustAlso(file);
    return true;
}();
}  // namespace

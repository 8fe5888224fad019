// SPDX-License-Identifier: MIT
#pragma once
// Certificates a TLS connection of the client trusts besides the system's
// store. The client as shipped names none, and nothing a page, the
// environment or a file of the player's sets can add one: only a test copy of
// the client, or a test, calls trustAlso (tests/support/test_trust.cpp).

#include <string>

namespace kwirl {

// A PEM file of certificates trusted besides the system's; empty: none.
void trustAlso(std::string pemFile);
const std::string& alsoTrustedCertificates();

}  // namespace kwirl

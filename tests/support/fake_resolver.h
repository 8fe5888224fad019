// SPDX-License-Identifier: MIT
#pragma once
// A host-name resolver for tests: answers from a table and fails every other
// name at once, so no test ever sends a lookup to the network.

#include <map>
#include <string>

namespace kwirl::test {

// Makes the table the process's default resolver: name -> dotted IPv4 address;
// a name mapped to "" is never answered (its lookup ends only when cancelled).
void installFakeResolver(const std::map<std::string, std::string>& names);
// How many lookups the fake resolver has answered.
int fakeResolverLookups();

}  // namespace kwirl::test

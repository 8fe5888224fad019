// SPDX-License-Identifier: MIT
// Which addresses a page may have the client open or follow.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "web_address.h"

namespace kwirl {
namespace {

TEST(WebAddress, OnlyTheWebsOwnWithAHost) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"http://127.0.0.1:8642/index.php?name=awards", true},
        {"https://www.example.org/", true},
        {"HTTP://example.org/a#b", true},
        {"javascript:location='http://h/?c='+document.cookie", false},
        {"JavaScript:alert(1)", false},
        {" javascript:alert(1)", false},
        {"data:text/html,<h1>moved</h1>", false},
        {"file:///etc/hostname", false},
        {"about:blank", false},
        {"ftp://example.org/", false},
        {"http:///no-host", false},
        {"http://", false},
        {"/index.php?name=awards", false},
        {"", false},
        {std::string("http://example.org/\0javascript:", 31), false},
        {"http://example.org/" + std::string(kLongestPageAddress, 'a'), false},
    };
    for (const auto& [address, web] : cases) EXPECT_EQ(isWebAddress(address), web) << address.substr(0, 60);
}

}  // namespace
}  // namespace kwirl

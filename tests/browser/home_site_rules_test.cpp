// SPDX-License-Identifier: MIT
// The rules that keep the whole page on the portal's site, read as the engine
// reads them: which top-frame addresses they let through.

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "home_site_rules.h"

namespace kwirl::test {
namespace {

// The pattern of the rule that lets the site's pages through, as the engine
// gets it out of the JSON (a backslash is written twice there).
std::string sitePattern(const std::string& rules) {
    const std::string key = "\"url-filter\": \"^https?";
    const auto start = rules.find(key) + std::string("\"url-filter\": \"").size();
    const std::string written = rules.substr(start, rules.find('"', start) - start);
    std::string pattern;
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (written[i] == '\\' && i + 1 < written.size()) ++i;
        pattern += written[i];
    }
    return pattern;
}

TEST(HomeSiteRules, OnlyTheSitesHostsAndTheHostsUnderItPass) {
    struct Row {
        const char* host;
        const char* address;
        bool passes;
    };
    const Row rows[] = {
        {"portal.org", "http://portal.org/index.php", true},
        {"portal.org", "https://www.portal.org:8443/", true},
        {"portal.org", "http://a.b.portal.org/x", true},
        {"portal.org", "http://portal.org.evil.com/", false},   // the name inside another
        {"portal.org", "http://evilportal.org/", false},        // the name at the end of another
        {"portal.org", "http://portalxorg/", false},            // a dot is a dot
        {"portal.org", "http://portal.org@evil.com/", false},   // user information
        {"portal.org", "http://evil.com/?portal.org/", false},  // in the query
        {"127.0.0.1", "http://127.0.0.1:18642/index.php", true},
        {"127.0.0.1", "http://127.0.0.10/", false},
        {"::1", "http://[::1]:8642/", true},
        {"::1", "http://[::10]/", false},
    };
    for (const Row& row : rows) {
        const std::regex pattern(sitePattern(topPageRules(row.host)), std::regex::icase);
        EXPECT_EQ(std::regex_search(row.address, pattern), row.passes) << row.host << " " << row.address;
    }
}

// The host goes into the guard script as a string literal: nothing in it
// ends the literal, whatever the build was given.
TEST(HomeSiteRules, TheGuardScriptHoldsTheHostAsAStringAlone) {
    const std::string script = dialogsGuardScript("Portal.org'); alert('x");
    EXPECT_NE(script.find("})('portal.org\\x27\\x29\\x3b\\x20alert\\x28\\x27x');"), std::string::npos);
    EXPECT_EQ(script.find("KWIRL_HOME_HOST"), std::string::npos);
}

}  // namespace
}  // namespace kwirl::test

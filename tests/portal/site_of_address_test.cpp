// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "portal_host.h"
#include "site_of_address.h"

namespace kwirl {
namespace {

TEST(SiteOfAddress, HostOfEachFormOfAddress) {
    const std::pair<const char*, const char*> cases[] = {
        {"http://www.Portal.ORG/index.php?name=x", "www.portal.org"},
        {"HTTPS://portal.org:8443/", "portal.org"},
        {"http://portal.org", "portal.org"},
        {"http://portal.org.:80/", "portal.org"},
        {"http://user:pw@evil.example@portal.org/", "portal.org"},  // the last "@" ends the user part
        {"http://portal.org@evil.example/", "evil.example"},
        {"http://evil.example\\@portal.org/", "evil.example"},  // a backslash ends the host, as the web reads it
        {"http://evil.example#@portal.org/", "evil.example"},
        {"http://[::1]:8642/x", "::1"},
        {"http://[::1/x", ""},
        {"ftp://portal.org/", ""},
        {"javascript:alert(1)//http://portal.org/", ""},
        {"about:blank", ""},
        {"", ""},
    };
    for (const auto& [address, host] : cases) {
        SCOPED_TRACE(address);
        EXPECT_EQ(hostOfAddress(address), host);
    }
}

TEST(SiteOfAddress, ADomainHoldsItsHostsAndNoOthers) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"portal.org", "portal.org", true},
        {"www.portal.org", "portal.org", true},
        {"a.b.portal.org", "Portal.org", true},
        {"evilportal.org", "portal.org", false},
        {"portal.org.evil.example", "portal.org", false},
        {"org", "portal.org", false},
        {"", "portal.org", false},
        {"portal.org", "", false},
    };
    for (const auto& [host, domain, within] : cases) {
        SCOPED_TRACE(std::string(host) + " in " + domain);
        EXPECT_EQ(isWithinDomain(host, domain), within);
    }
}

TEST(SiteOfAddress, ThePortalsSiteIsItsDomainOnAnyPortAndScheme) {
    const std::string name = nameOfHost(portalDomain());
    EXPECT_TRUE(isPortalSiteAddress("http://" + portalHost() + "/index.php"));
    EXPECT_TRUE(isPortalSiteAddress("https://" + portalHost() + "/index.php"));
    EXPECT_TRUE(isPortalSiteAddress("https://" + name + ":1/"));
    EXPECT_FALSE(isPortalSiteAddress("http://other-" + name + "/"));
    EXPECT_FALSE(isPortalSiteAddress("http://" + name + ".evil.example/"));
    EXPECT_FALSE(isPortalSiteAddress("about:blank"));
}

}  // namespace
}  // namespace kwirl

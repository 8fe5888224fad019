// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "address_classes.h"
#include "addresses.h"
#include "portal_host.h"

namespace kwirl {
namespace {

// Every address names the portal by the scheme the build chose.
TEST(Addresses, FixedAddressesUseSchemeHostAndDomain) {
    const std::string scheme = KWIRL_BUILT_PORTAL_SCHEME;
    const std::string host = portalHost();
    EXPECT_EQ(portalScheme(), scheme);
    EXPECT_EQ(baseAddress(), scheme + "://" + host + "/index.php");
    EXPECT_EQ(startPageAddress(), scheme + "://" + host + "/index.php?name=puzzle1");
    EXPECT_EQ(pageAddress("awards"), scheme + "://" + host + "/index.php?name=awards");
    EXPECT_EQ(catalogueAddress(), scheme + "://" + portalDomain() + "/index.php?name=servstop");
    EXPECT_EQ(portalShownName(), scheme + "://" + host);
}

// A host's domain (without a leading "www.") and its name as it is looked up (without its port).
TEST(Addresses, DomainAndNameOfAHost) {
    const struct {
        std::string host, domain, name;
    } cases[] = {
        {"www.example.org", "example.org", "www.example.org"},
        {"www.example.org:8080", "example.org:8080", "www.example.org"},
        {"example.org", "example.org", "example.org"},
        {"awww.example.org", "awww.example.org", "awww.example.org"},
        {"127.0.0.1:8642", "127.0.0.1:8642", "127.0.0.1"},
        {"[::1]:8642", "[::1]:8642", "[::1]"},  // an address in brackets keeps its own colons
        {"[::1]", "[::1]", "[::1]"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(domainOfHost(c.host), c.domain) << c.host;
        EXPECT_EQ(nameOfHost(c.host), c.name) << c.host;
    }
}

TEST(Addresses, ParametersAreAppendedAndEarlierOnesStay) {
    std::string address = "http://h/index.php?name=puzzle1&op=pz6m&n=0";
    address = appendPageOffset(address, 1);
    address = appendPageOffset(address, 2);
    EXPECT_EQ(address, "http://h/index.php?name=puzzle1&op=pz6m&n=0&n=40&n=80");
    EXPECT_EQ(appendParameter("x&op=game&level=3", "level", "1"), "x&op=game&level=3&level=1");
}

TEST(Addresses, AListViewWithoutOffsetOpensAtItsFirstPage) {
    const struct {
        const char* address;
        const char* opened;
    } cases[] = {
        {"http://h/index.php?name=puzzle1&op=pz6m&src=zZz", "http://h/index.php?name=puzzle1&op=pz6m&src=zZz&n=0"},
        {"http://h/index.php?name=puzzle1&op=pz1d", "http://h/index.php?name=puzzle1&op=pz1d&n=0"},
        {"http://h/index.php?name=puzzle1&op=pz6m&n=40", "http://h/index.php?name=puzzle1&op=pz6m&n=40"},
        {"http://h/index.php?name=puzzle5", "http://h/index.php?name=puzzle5"},
        {"http://h/index.php?name=lib&op=PZ6M", "http://h/index.php?name=lib&op=PZ6M"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(withFirstPageOffset(c.address), c.opened) << c.address;
}

TEST(Addresses, OffsetOfAFarPageIsNotOverflowed) {
    EXPECT_EQ(offsetOfPage(0), "0");
    EXPECT_EQ(offsetOfPage(-1), "-40");
    EXPECT_EQ(offsetOfPage(53687092), "2147483680");
    EXPECT_EQ(offsetOfPage(2147483647), "85899345880");
}

}  // namespace
}  // namespace kwirl

// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "address_classes.h"

namespace kwirl {
namespace {

struct Classes {
    const char* address;
    bool game, paged, wide, neutral;
};

TEST(AddressClasses, TableOfAddressesThatOccur) {
    const Classes cases[] = {
        {"about:blank", false, false, false, true},
        {"http://h/index.php", false, false, false, true},
        {"http://h/index.php?name=awards", false, false, false, true},
        {"http://h/index.php?name=puzzle1", false, false, false, false},      // start page: no class
        {"http://h/index.php?name=puzzleguide", false, false, false, false},  // "=puzzle" matches the guide
        {"http://h/index.php?name=puzzle1&op=pz6m&n=80", false, true, true, false},
        {"http://h/index.php?name=pazzle&n=0", false, true, true, false},
        {"http://h/index.php?name=puzzle1&op=pz6m", false, false, true, false},  // list view without offset
        {"http://h/index.php?name=x&op=pz1d", false, false, true, true},         // wide and neutral at once
        {"http://h/index.php?op=pz6m&n=40", false, false, true, true},
        {"http://h/index.php?name=puzzle3&op=game&level=2", true, false, false, false},
        {"http://h/index.php?name=puzzle3&op=game&level=2&n=40", true, false, false, false},
        {"http://h/index.php?name=puzzle3&op=game", false, false, false, false},  // game without level
        {"http://h/index.php?name=puzzle3&level=2&n=40", false, false, false, false},
        {"http://h/index.php?op=game&level=2", false, false, false, true},    // "&op=game" needs its "&"
        {"http://h/index.php?name=Puzzle1&n=40", false, false, false, true},  // tokens are case-sensitive
        {"http://h/index.php?name=puzzle1&op=PZ6M", false, false, false, false},
        {"http://other.example/?q=1&n=40", false, false, false, true},
    };
    // The same on a portal reached over TLS.
    for (const std::string scheme : {"http://", "https://"}) {
        for (const auto& c : cases) {
            std::string address = c.address;
            if (address.starts_with("http://")) address.replace(0, 7, scheme);
            SCOPED_TRACE(address);
            EXPECT_EQ(isGameAddress(address), c.game);
            EXPECT_EQ(isPagedListAddress(address), c.paged);
            EXPECT_EQ(isWidePagedListAddress(address), c.wide);
            EXPECT_EQ(isNeutralAddress(address), c.neutral);
        }
    }
}

TEST(AddressClasses, GameAddressIsNeverPagedNorNeutral) {
    const std::string tails[] = {"", "&n=40", "&op=pz6m", "&n=0&op=pz1d"};
    for (const auto& tail : tails) {
        const std::string address = "http://h/index.php?name=puzzle2&op=game&level=1" + tail;
        EXPECT_TRUE(isGameAddress(address));
        EXPECT_FALSE(isPagedListAddress(address));
        EXPECT_FALSE(isNeutralAddress(address));
    }
}

}  // namespace
}  // namespace kwirl

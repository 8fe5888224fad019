// SPDX-License-Identifier: MIT
// The client's own pages for a failed load and an ended page process, and the
// waits between attempts.

#include "error_pages.h"

#include <gtest/gtest.h>

#include "retry_delays.h"

namespace kwirl {
namespace {

TEST(ErrorPages, FailuresAreToldInPlainWords) {
    const struct {
        const char* domain;
        int code;
        LoadFailure failure;
    } cases[] = {
        {"soup-http-error-quark", 4, LoadFailure::NoConnection},   // what a refused connection gives
        {"soup-http-error-quark", 5, LoadFailure::NoConnection},
        {"soup-http-error-quark", 2, LoadFailure::NameNotFound},
        {"soup-http-error-quark", 6, LoadFailure::InsecureConnection},
        {"soup-http-error-quark", 11, LoadFailure::InsecureConnection},
        {"soup-http-error-quark", 7, LoadFailure::Other},
        {"g-io-error-quark", 39, LoadFailure::NoConnection},
        {"g-io-error-quark", 38, LoadFailure::NoConnection},
        {"g-io-error-quark", 24, LoadFailure::TimedOut},
        {"g-io-error-quark", 4, LoadFailure::Other},
        {"g-resolver-error-quark", 0, LoadFailure::NameNotFound},
        {"g-tls-error-quark", 3, LoadFailure::InsecureConnection},
        {"WebKitNetworkError", 399, LoadFailure::Other},
        {"WebKitNetworkError", 301, LoadFailure::CannotShow},  // an address of another program (mailto:)
        {"WebKitPolicyError", 100, LoadFailure::CannotShow},   // a file the engine cannot show
        {"", 0, LoadFailure::Other},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(classifyLoadFailure(c.domain, c.code), c.failure) << c.domain << " " << c.code;
    }
    EXPECT_NE(failurePageHtml(LoadFailure::NoConnection, "a", "").find("The portal cannot be reached"),
              std::string::npos);
    EXPECT_NE(failurePageHtml(LoadFailure::NameNotFound, "a", "").find("The server was not found"), std::string::npos);
    // Only a page that may load later is tried again by itself, and says so.
    for (const auto failure : {LoadFailure::NoConnection, LoadFailure::NameNotFound, LoadFailure::TimedOut,
                               LoadFailure::Other}) {
        EXPECT_TRUE(mayLoadLater(failure));
        EXPECT_NE(failurePageHtml(failure, "a", "").find("by itself"), std::string::npos);
    }
    for (const auto failure : {LoadFailure::InsecureConnection, LoadFailure::CannotShow}) {
        EXPECT_FALSE(mayLoadLater(failure));
        EXPECT_EQ(failurePageHtml(failure, "a", "").find("by itself"), std::string::npos);
    }
}

TEST(ErrorPages, OnlyRealFailuresGetAPage) {
    EXPECT_TRUE(isAbandonedLoad("WebKitNetworkError", 302));  // stopped, or replaced by another load
    EXPECT_TRUE(isAbandonedLoad("WebKitPolicyError", 102));   // refused by the window
    EXPECT_TRUE(isAbandonedLoad("WebKitPluginError", 204));
    EXPECT_FALSE(isAbandonedLoad("WebKitNetworkError", 399));
    EXPECT_FALSE(isAbandonedLoad("soup-http-error-quark", 4));
    EXPECT_FALSE(isAbandonedLoad("WebKitPolicyError", 101));
}

TEST(ErrorPages, AnAddressIsShownAsTextNeverRun) {
    const std::string hostile = "http://h/x?a=<script>alert(1)</script>&b=\"q\"&c='j'";
    for (const std::string& page : {failurePageHtml(LoadFailure::Other, hostile, "<b>detail</b>"),
                                    pageEndedHtml(PageEnd::Crashed, hostile, true)}) {
        EXPECT_EQ(page.find("<script>alert"), std::string::npos);
        EXPECT_EQ(page.find("<b>detail"), std::string::npos);
        EXPECT_NE(page.find("a=&lt;script&gt;alert(1)&lt;/script&gt;&amp;b=&quot;q&quot;&amp;c=&#39;j&#39;"),
                  std::string::npos);
        // The page's only script is its button's, and it names no address.
        EXPECT_EQ(page.find("<script>"), page.rfind("<script>"));
    }
    const std::string javascript = failurePageHtml(LoadFailure::Other, "javascript:alert(1)", "");
    EXPECT_EQ(javascript.find("href"), std::string::npos);
    // An absurdly long address is cut for the eye, never the page.
    const std::string longPage = failurePageHtml(LoadFailure::Other, std::string(1'000'000, 'a'), "");
    EXPECT_LT(longPage.size(), 10'000u);
}

TEST(ErrorPages, APageEndTellsWhetherItReloadsByItself) {
    EXPECT_NE(pageEndedHtml(PageEnd::OutOfMemory, "a", false).find("too much memory"), std::string::npos);
    EXPECT_NE(pageEndedHtml(PageEnd::Crashed, "a", true).find("by itself"), std::string::npos);
    EXPECT_EQ(pageEndedHtml(PageEnd::Crashed, "a", false).find("by itself"), std::string::npos);
}

TEST(RetryDelaysTest, GrowToAMinuteAndStartAgainAfterAReset) {
    RetryDelays delays;
    std::vector<unsigned> seen;
    for (int i = 0; i < 8; ++i) seen.push_back(delays.next());
    EXPECT_EQ(seen, (std::vector<unsigned>{2000, 4000, 8000, 16000, 32000, 60000, 60000, 60000}));
    delays.reset();
    EXPECT_EQ(delays.next(), 2000u);
}

}  // namespace
}  // namespace kwirl

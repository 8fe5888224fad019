// SPDX-License-Identifier: MIT
// The client's own pages for a failed load and an ended page process, and the
// waits between attempts.

#include "error_pages.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

#include "retry_delays.h"

namespace kwirl {
namespace {

TEST(ErrorPages, FailuresAreToldInPlainWords) {
    const struct {
        const char* domain;
        int code;
        PageKind kind;
    } cases[] = {
        {"soup-http-error-quark", 4, PageKind::NoConnection},  // what a refused connection gives
        {"soup-http-error-quark", 5, PageKind::NoConnection},
        {"soup-http-error-quark", 2, PageKind::NameNotFound},
        {"soup-http-error-quark", 6, PageKind::InsecureConnection},
        {"soup-http-error-quark", 11, PageKind::InsecureConnection},
        {"soup-http-error-quark", 7, PageKind::LoadFailed},
        {"g-io-error-quark", G_IO_ERROR_CONNECTION_REFUSED, PageKind::NoConnection},
        {"g-io-error-quark", G_IO_ERROR_NETWORK_UNREACHABLE, PageKind::NoConnection},
        {"g-io-error-quark", G_IO_ERROR_TIMED_OUT, PageKind::TimedOut},
        {"g-io-error-quark", G_IO_ERROR_EXISTS, PageKind::LoadFailed},
        {"g-resolver-error-quark", 0, PageKind::NameNotFound},
        {"g-tls-error-quark", 3, PageKind::InsecureConnection},
        {"WebKitNetworkError", 399, PageKind::LoadFailed},
        {"WebKitNetworkError", 301, PageKind::CannotShow},  // an address of another program (mailto:)
        {"WebKitPolicyError", 100, PageKind::CannotShow},   // a file the engine cannot show
        {"", 0, PageKind::LoadFailed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(classifyLoadFailure(c.domain, c.code), c.kind) << c.domain << " " << c.code;
    }
}

// Each kind's own words, its button, and whether it is tried again by itself.
TEST(ErrorPages, EachKindHasItsWords) {
    // Per kind: whether it is tried again by itself, then its title, a part of
    // its explanation and its button.
    using Words = std::array<std::string, 3>;
    const std::vector<std::tuple<PageKind, bool, Words>> kinds = {
        {PageKind::NoConnection, true, {"The portal cannot be reached", "refused or the network is down", "Try again"}},
        {PageKind::NameNotFound, true, {"The server was not found", "could not be looked up", "Try again"}},
        {PageKind::TimedOut, true, {"The portal did not answer in time", "took too long", "Try again"}},
        {PageKind::InsecureConnection,
         false,
         {"The connection is not secure", "identity could not be checked", "Try again"}},
        {PageKind::CannotShow, false, {"The page cannot be shown here", "another program&#39;s link", "Try again"}},
        {PageKind::LoadFailed, true, {"The page could not be loaded", "Something went wrong", "Try again"}},
        {PageKind::Crashed, true, {"The page stopped", "stopped unexpectedly", "Reload"}},
        {PageKind::OutOfMemory, true, {"The page stopped", "too much memory", "Reload"}},
        {PageKind::ProcessEnded, true, {"The page stopped", "process was ended", "Reload"}},
    };
    for (const auto& [kind, retries, words] : kinds) {
        SCOPED_TRACE(words[0]);
        const std::string page = ownPageHtml(kind, "a", "", true);
        EXPECT_NE(page.find("<title>" + words[0] + "</title>"), std::string::npos);
        EXPECT_NE(page.find("<h1>" + words[0] + "</h1>"), std::string::npos);
        EXPECT_NE(page.find(words[1]), std::string::npos);
        EXPECT_NE(page.find("autofocus>" + words[2] + "</button>"), std::string::npos);
        EXPECT_EQ(retriesByItself(kind), retries);
        // Only a page that is tried again by itself says so.
        EXPECT_EQ(page.find("by itself") != std::string::npos, retries);
        EXPECT_EQ(ownPageHtml(kind, "a", "", false).find("by itself"), std::string::npos);
        // The page is whole: every placeholder filled, its language named (the
        // untranslated words are English), its style in; its button is the
        // client's own script's (the engine test presses it).
        EXPECT_EQ(page.find("{{"), std::string::npos);
        EXPECT_NE(page.find("<html lang='en'>"), std::string::npos);
        EXPECT_NE(page.find("justify-content:center"), std::string::npos);
        EXPECT_NE(page.find("id='retry'"), std::string::npos);
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
    const std::string hostile = "http://h/x?a=<script>alert(1)</script>&b=\"q\"&c='j'{{title}}";
    for (const std::string& page : {ownPageHtml(PageKind::LoadFailed, hostile, "<b>detail</b>{{script}}", true),
                                    ownPageHtml(PageKind::Crashed, hostile, "", true)}) {
        EXPECT_EQ(page.find("<script>alert"), std::string::npos);
        EXPECT_EQ(page.find("<b>detail"), std::string::npos);
        EXPECT_NE(page.find("a=&lt;script&gt;alert(1)&lt;/script&gt;&amp;b=&quot;q&quot;&amp;c=&#39;j&#39;{{title}}"),
                  std::string::npos);
        // The page holds no script: its button is the client's, in the client's own script world.
        EXPECT_EQ(page.find("<script"), std::string::npos);
    }
    EXPECT_NE(ownPageHtml(PageKind::LoadFailed, "a", "<b>", true).find("<p class='detail'>&lt;b&gt;</p>"),
              std::string::npos);
    const std::string javascript = ownPageHtml(PageKind::LoadFailed, "javascript:alert(1)", "", true);
    EXPECT_EQ(javascript.find("href"), std::string::npos);
    // An absurdly long address is cut for the eye, never the page.
    const std::string longPage = ownPageHtml(PageKind::LoadFailed, std::string(1'000'000, 'a'), "", true);
    EXPECT_LT(longPage.size(), 10'000u);
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

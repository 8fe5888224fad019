// SPDX-License-Identifier: MIT
// The client's own pages for a failed load and an ended page process, and the
// waits between attempts.

#include "error_pages.h"

#include <gio/gio.h>
#include <gtest/gtest.h>
#include <webkit2/webkit2.h>

#include <array>
#include <tuple>
#include <vector>

#include "retry_delays.h"

namespace kwirl {
namespace {

TEST(ErrorPages, FailuresAreToldInPlainWords) {
    const struct {
        GQuark domain;
        int code;
        PageKind kind;
    } cases[] = {
        {G_IO_ERROR, G_IO_ERROR_CONNECTION_REFUSED, PageKind::NoConnection},
        {G_IO_ERROR, G_IO_ERROR_NETWORK_UNREACHABLE, PageKind::NoConnection},
        {G_IO_ERROR, G_IO_ERROR_TIMED_OUT, PageKind::TimedOut},
        {G_IO_ERROR, G_IO_ERROR_EXISTS, PageKind::LoadFailed},
        {G_RESOLVER_ERROR, G_RESOLVER_ERROR_NOT_FOUND, PageKind::NameNotFound},
        {G_TLS_ERROR, G_TLS_ERROR_BAD_CERTIFICATE, PageKind::InsecureConnection},
        {WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_FILE_DOES_NOT_EXIST, PageKind::LoadFailed},
        // an address of another program (mailto:)
        {WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_UNKNOWN_PROTOCOL, PageKind::CannotShow},
        // a file the engine cannot show
        {WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_CANNOT_SHOW_MIME_TYPE, PageKind::CannotShow},
        // the number of a refused connection in the older network library's domain
        {G_IO_ERROR, G_IO_ERROR_NOT_DIRECTORY, PageKind::LoadFailed},
        {0, 0, PageKind::LoadFailed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(classifyLoadFailure(c.domain, c.code), c.kind) << g_quark_to_string(c.domain) << " " << c.code;
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
        {PageKind::Stopped, false, {"Loading was stopped", "stopped before it came", "Load the page again"}},
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
        // The engine's message (English only) only where the client has no words of its own.
        EXPECT_EQ(
            ownPageHtml(kind, "a", "Could not connect to a: Connection refused", true).find("Connection refused") !=
                std::string::npos,
            kind == PageKind::LoadFailed);
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
    // stopped, or replaced by another load
    EXPECT_TRUE(isAbandonedLoad(WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED));
    // refused by the window
    EXPECT_TRUE(isAbandonedLoad(WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE));
    EXPECT_TRUE(isAbandonedLoad(WEBKIT_PLUGIN_ERROR, WEBKIT_PLUGIN_ERROR_WILL_HANDLE_LOAD));
    EXPECT_FALSE(isAbandonedLoad(WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_FILE_DOES_NOT_EXIST));
    EXPECT_FALSE(isAbandonedLoad(G_IO_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED));
    EXPECT_FALSE(isAbandonedLoad(WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_CANNOT_SHOW_URI));
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

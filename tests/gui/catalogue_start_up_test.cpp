// SPDX-License-Identifier: MIT
// The window at start-up against portals on the test port: one with a
// catalogue, one that never answers, one whose body never ends. The window
// asks for the start page first and offers the built-in list until the
// catalogue comes.

#include <sys/socket.h>

#include <chrono>
#include <future>

#include "addresses.h"
#include "loopback_http_server.h"
#include "test_portal.h"
#include "window_fixture.h"

namespace kwirl::test {
namespace {

// The catalogue's libraries are on the portal's host, as the fetch keeps only those.
// (over https for a portal reached so: an entry in clear text is taken over https)
std::string libraries() { return portalSchemePrefix() + KWIRL_TEST_PORTAL_HOST "/index.php?name="; }
const std::string kCatalogue =
    "<html><body>\r\n"
    "<kk ref=\"Xtp://" KWIRL_TEST_PORTAL_HOST
    "/index.php?name=puzzle3&op=pz6m&src=z3z\">Animals</kk>\r\n"
    "<kk ref=\"Xtp://" KWIRL_TEST_PORTAL_HOST
    "/index.php?name=pazzle&op=pz6m&src=z3z\">Fantasy</kk>\r\n"
    "</body></html>\r\n";

class CatalogueStartUpTest : public WindowTest {
protected:
    void SetUp() override {}  // each test starts its portal first, then the window
    // Makes and shows the window: the start page is asked for at once, before
    // the catalogue's request; then waits for the fetch to end.
    void startWindow(const TestPortal* portal = nullptr, bool waitForTheCatalogue = true) {
        WindowTest::SetUp();
        show();
        EXPECT_EQ(browser->calls, (std::vector<std::string>{"Navigate about:blank", "Navigate " + startPageAddress()}));
        EXPECT_EQ(frame->CB->GetCount(), 7u);
        if (portal) {
            EXPECT_TRUE(portal->requestLines().empty());
        }
        if (!waitForTheCatalogue) return;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(runLoopUntil([&] { return frame->catalogueFetchEnded(); }, 30000));
        fetchSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    void expectBuiltInList() {
        EXPECT_FALSE(frame->CatalogueLoaded);
        EXPECT_EQ(frame->CB->GetCount(), 7u);
        EXPECT_EQ(fromWx(frame->CB->GetString(0)), "0:Zededo zu Dozo Dozariv(Free)");
    }
    double fetchSeconds = 0;
};

TEST_F(CatalogueStartUpTest, TheCatalogueFillsTheDropDownAndItsAddressesAreOpened) {
    TestPortal portal(httpResponder([](const std::string&) { return "HTTP/1.0 200 OK\r\n\r\n" + kCatalogue; }));
    startWindow(&portal);
    EXPECT_EQ(portal.requestLines(), (std::vector<std::string>{"GET /index.php?name=servstop HTTP/1.0"}));
    EXPECT_TRUE(frame->CatalogueLoaded);
    ASSERT_EQ(frame->CatalogueCount, 2);
    ASSERT_EQ(frame->CB->GetCount(), 2u);
    EXPECT_EQ(fromWx(frame->CB->GetString(0)), "0:Animals");
    EXPECT_EQ(fromWx(frame->CB->GetString(1)), "1:Fantasy");

    frame->CB->SetSelection(1);
    browser->calls.clear();
    frame->CBSelect(frame->CB);
    EXPECT_EQ(browser->calls, (std::vector<std::string>{"Navigate " + libraries() + "pazzle&op=pz6m&src=zZz&n=0"}));

    browser->calls.clear();
    browser->location = "about:blank";
    frame->Button14Click(frame->Button14);
    EXPECT_EQ(browser->calls,
              (std::vector<std::string>{"Stop", "Navigate " + libraries() + "pazzle&op=pz6m&src=zZz&n=0"}));
}

TEST_F(CatalogueStartUpTest, ALibraryChosenWhileTheCatalogueComesStaysChosenAndIsWhatTheButtonsOpen) {
    struct Choice {
        TFrm* frame = nullptr;
        std::promise<void> made;
    } choice;
    TestPortal portal(httpResponder([&](const std::string&) {
        // The person picks "2:Big fantastic puzzle library" from the
        // built-in list while the catalogue is on its way.
        choice.frame = frame;
        g_idle_add(
            [](gpointer made) {
                auto* person = static_cast<Choice*>(made);
                person->frame->CB->SetSelection(2);
                person->frame->CBSelect(person->frame->CB);
                person->made.set_value();
                return G_SOURCE_REMOVE;
            },
            &choice);
        choice.made.get_future().wait();
        return "HTTP/1.0 200 OK\r\n\r\n" + kCatalogue;
    }));
    startWindow(&portal);
    ASSERT_EQ(frame->CB->GetCount(), 2u);
    // The same library in the catalogue, at its own place there.
    EXPECT_EQ(fromWx(frame->CB->GetStringSelection()), "1:Fantasy");
    browser->calls.clear();
    browser->location = "about:blank";
    frame->Button7Click(frame->Button7);
    EXPECT_EQ(browser->calls,
              (std::vector<std::string>{"Stop", "Navigate " + libraries() + "pazzle&op=pz6m&src=zZz&n=0"}));
}

TEST_F(CatalogueStartUpTest, ASilentPortalStillLetsTheWindowAppearWithTheBuiltInList) {
    TestPortal portal([](LoopbackServer&, int fd) {
        char byte;
        while (recv(fd, &byte, 1, 0) > 0) {
        }
    });
    startWindow(&portal);
    EXPECT_LT(fetchSeconds, 15.0);
    expectBuiltInList();
}

TEST_F(CatalogueStartUpTest, AnEndlessBodyStillLetsTheWindowAppearWithTheBuiltInList) {
    TestPortal portal([](LoopbackServer&, int fd) {
        readRequestHead(fd);
        sendAll(fd, "HTTP/1.0 200 OK\r\n\r\n");
        const std::string chunk(64 * 1024, '<');
        while (sendAll(fd, chunk)) {
        }
    });
    startWindow(&portal);
    EXPECT_LT(fetchSeconds, 15.0);
    expectBuiltInList();
}

TEST_F(CatalogueStartUpTest, TheWindowClosedWhileTheCatalogueWaitsGoesAtOnceAndIsDestroyedAfter) {
    struct Closing {
        TFrm* frame = nullptr;
        bool shownAfterClose = true;
    } closing;
    TestPortal portal([&](LoopbackServer&, int fd) {
        // The person closes the window while the fetch waits for this portal.
        closing.frame = frame;
        g_idle_add(
            [](gpointer made) {
                auto* person = static_cast<Closing*>(made);
                person->frame->Close(true);
                person->shownAfterClose = person->frame->IsShown();
                return G_SOURCE_REMOVE;
            },
            &closing);
        char byte;
        while (recv(fd, &byte, 1, 0) > 0) {
        }
    });
    startWindow(&portal, false);
    // The fetch's wait ends at once and takes the window with it (which is
    // asked nothing once it is gone).
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(
        runLoopUntil([&] { return wxTopLevelWindows.Find(frame) == nullptr || frame->catalogueFetchEnded(); }, 5000));
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0);
    EXPECT_FALSE(closing.shownAfterClose);  // gone from the screen before the fetch's wait ended
    wxTheApp->ProcessIdle();
    EXPECT_EQ(wxTopLevelWindows.Find(frame), nullptr);
    frame = nullptr;
}

// Destroy() at every point of a slow fetch, with the toolkit's idle work (which
// deletes destroyed windows) run inside the fetch's wait as the real main loop
// runs it: the window, its HTTP client and its socket outlive the wait, and the
// window goes once the wait has unwound.
TEST_F(CatalogueStartUpTest, TheWindowDestroyedAtAnyPointOfTheFetchOutlivesTheWaitAndThenGoes) {
    const std::vector<std::string> parts = {"HTTP/1.0 200 OK\r\n", "\r\n", kCatalogue.substr(0, 40),
                                            kCatalogue.substr(40)};
    for (std::size_t point = 0; point <= parts.size(); ++point) {
        SCOPED_TRACE("destroyed after " + std::to_string(point) + " parts of the reply");
        struct Ending {
            TFrm* frame = nullptr;
            bool keptWhileWaiting = false;
            std::promise<void> done;
        } ending;
        TestPortal portal([&](LoopbackServer&, int fd) {
            readRequestHead(fd);
            for (std::size_t sent = 0; sent <= parts.size(); ++sent) {
                if (sent == point) {
                    ending.frame = frame;
                    g_idle_add(
                        [](gpointer made) {
                            auto* end = static_cast<Ending*>(made);
                            end->frame->Destroy();
                            wxTheApp->ProcessIdle();
                            end->keptWhileWaiting =
                                wxTopLevelWindows.Find(end->frame) != nullptr && !end->frame->IsShown();
                            end->done.set_value();
                            return G_SOURCE_REMOVE;
                        },
                        &ending);
                    ending.done.get_future().wait();
                }
                if (sent < parts.size() && !sendAll(fd, parts[sent])) return;
            }
        });
        startWindow(&portal, false);
        ASSERT_TRUE(runLoopUntil(
            [&] {
                wxTheApp->ProcessIdle();
                return wxTopLevelWindows.Find(frame) == nullptr;
            },
            5000));
        frame = nullptr;
        EXPECT_TRUE(ending.keptWhileWaiting);
    }
}

// Away at start-up, the portal comes back: the first page of its own that the
// view shows (not the client's failure page standing in for one) brings the
// catalogue, asked for until the portal answers and then no more, whatever it
// gives; neither the page nor the choice moves.
TEST_F(CatalogueStartUpTest, ThePortalBackAfterAStartWithoutItBringsTheCatalogueOnce) {
    struct Return {
        const char* what;
        std::string body;
        unsigned entries;
        const char* chosen;  // after the built-in "2:Big fantastic puzzle library" was taken
    };
    const Return returns[] = {
        {"with its catalogue", kCatalogue, 2, "1:Fantasy"},
        {"with an empty page", "", 7, "2:Big fantastic puzzle library"},
    };
    for (const Return& back : returns) {
        SCOPED_TRACE(back.what);
        startWindow();
        expectBuiltInList();
        frame->CB->SetSelection(2);
        const std::string page = "http://" KWIRL_TEST_PORTAL_HOST "/index.php?name=champday";
        auto shown = [&](bool ownPage) {
            browser->location = page;
            browser->ownPage = ownPage;
            browser->OnNavigateComplete2(browser, page);
            while (g_main_context_iteration(nullptr, FALSE)) {
            }
        };
        shown(false);  // a page from the engine's cache, the portal still away
        EXPECT_EQ(frame->CB->GetCount(), 7u);
        TestPortal portal(httpResponder([&](const std::string&) { return "HTTP/1.0 200 OK\r\n\r\n" + back.body; }));
        browser->calls.clear();
        shown(true);  // the failure page, shown again
        EXPECT_TRUE(portal.requestLines().empty());
        shown(false);  // the page itself, the portal back
        ASSERT_TRUE(runLoopUntil([&] { return frame->catalogueFetchEnded(); }, 15000));
        EXPECT_EQ(portal.requestLines(), (std::vector<std::string>{"GET /index.php?name=servstop HTTP/1.0"}));
        EXPECT_EQ(frame->CB->GetCount(), back.entries);
        EXPECT_EQ(fromWx(frame->CB->GetStringSelection()), back.chosen);
        shown(false);  // the next page: asked for once only
        EXPECT_EQ(portal.requestLines().size(), 1u);
        EXPECT_TRUE(browser->calls.empty());
        TearDown();
        frame = nullptr;
    }
}

TEST_F(CatalogueStartUpTest, NoPortalAtAllGivesTheBuiltInListAtOnce) {
    startWindow();
    EXPECT_LT(fetchSeconds, 5.0);
    expectBuiltInList();
}

}  // namespace
}  // namespace kwirl::test

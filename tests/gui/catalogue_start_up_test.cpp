// SPDX-License-Identifier: MIT
// The window at start-up against portals on the test port: one with a
// catalogue, one that never answers, one whose body never ends.

#include <sys/socket.h>

#include <chrono>

#include "addresses.h"
#include "loopback_http_server.h"
#include "window_fixture.h"

namespace kwirl::test {
namespace {

const std::string kCatalogue =
    "<html><body>\r\n"
    "<kk ref=\"Xtp://h/index.php?name=puzzle3&op=pz6m&src=z3z\">Animals</kk>\r\n"
    "<kk ref=\"Xtp://h/index.php?name=pazzle&op=pz6m&src=z3z\">Fantasy</kk>\r\n"
    "</body></html>\r\n";

class CatalogueStartUpTest : public WindowTest {
protected:
    void SetUp() override {}  // each test starts its portal first, then the window
    void startWindow() {
        const auto start = std::chrono::steady_clock::now();
        WindowTest::SetUp();
        constructionSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    void expectBuiltInList() {
        show();
        EXPECT_FALSE(frame->CatalogueLoaded);
        EXPECT_EQ(frame->CB->GetCount(), 7u);
        EXPECT_EQ(fromWx(frame->CB->GetString(0)), "0:Zededo zu Dozo Dozariv(Free)");
    }
    double constructionSeconds = 0;
};

TEST_F(CatalogueStartUpTest, TheCatalogueFillsTheDropDownAndItsAddressesAreOpened) {
    LoopbackServer portal(testPortalPort(), httpResponder([](const std::string&) {
                              return "HTTP/1.0 200 OK\r\n\r\n" + kCatalogue;
                          }));
    startWindow();
    EXPECT_EQ(portal.requestLines(), (std::vector<std::string>{"GET /index.php?name=servstop HTTP/1.0"}));
    EXPECT_TRUE(frame->CatalogueLoaded);
    ASSERT_EQ(frame->CatalogueCount, 2);
    show();
    ASSERT_EQ(frame->CB->GetCount(), 2u);
    EXPECT_EQ(fromWx(frame->CB->GetString(0)), "0:Animals");
    EXPECT_EQ(fromWx(frame->CB->GetString(1)), "1:Fantasy");

    frame->CB->SetSelection(1);
    browser->calls.clear();
    frame->CBSelect(frame->CB);
    EXPECT_EQ(browser->calls,
              (std::vector<std::string>{"Navigate http://h/index.php?name=pazzle&op=pz6m&src=zZz&n=0"}));

    browser->calls.clear();
    browser->location = "about:blank";
    frame->Button14Click(frame->Button14);
    EXPECT_EQ(browser->calls,
              (std::vector<std::string>{"Stop", "Navigate http://h/index.php?name=pazzle&op=pz6m&src=zZz&n=0"}));
    EXPECT_NE(fromWx(frame->Memo1->GetValue()).find("http://h/index.php?name=puzzle3&op=pz6m&src=zZz"),
              std::string::npos);
}

TEST_F(CatalogueStartUpTest, ASilentPortalStillLetsTheWindowAppearWithTheBuiltInList) {
    LoopbackServer portal(testPortalPort(), [](LoopbackServer&, int fd) {
        char byte;
        while (recv(fd, &byte, 1, 0) > 0) {
        }
    });
    startWindow();
    EXPECT_LT(constructionSeconds, 15.0);
    expectBuiltInList();
}

TEST_F(CatalogueStartUpTest, AnEndlessBodyStillLetsTheWindowAppearWithTheBuiltInList) {
    LoopbackServer portal(testPortalPort(), [](LoopbackServer&, int fd) {
        readRequestHead(fd);
        sendAll(fd, "HTTP/1.0 200 OK\r\n\r\n");
        const std::string chunk(64 * 1024, '<');
        while (sendAll(fd, chunk)) {
        }
    });
    startWindow();
    EXPECT_LT(constructionSeconds, 15.0);
    expectBuiltInList();
}

TEST_F(CatalogueStartUpTest, NoPortalAtAllGivesTheBuiltInListAtOnce) {
    startWindow();
    EXPECT_LT(constructionSeconds, 5.0);
    expectBuiltInList();
}

}  // namespace
}  // namespace kwirl::test

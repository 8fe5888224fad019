// SPDX-License-Identifier: MIT
#pragma once
// A main window on a recording browser, for handler tests.

#include <gtest/gtest.h>
#include <wx/app.h>

#include "Main.h"
#include "event_loop.h"
#include "recording_browser.h"
#include "wx_text.h"

namespace kwirl::test {

// The captions of the six number buttons, in toolbar order.
inline std::vector<std::string> numberCaptions(const TFrm& frame) {
    std::vector<std::string> shown;
    for (wxButton* button : frame.numberButtons()) shown.push_back(fromWx(button->GetLabel()));
    return shown;
}

#ifdef KWIRL_TEST_PORTAL_HOST
// The loopback port of the portal the test build of the window talks to.
inline std::uint16_t testPortalPort() {
    const std::string host = KWIRL_TEST_PORTAL_HOST;
    return static_cast<std::uint16_t>(std::stoi(host.substr(host.rfind(':') + 1)));
}
#endif

// Destroys a window and deletes it at once, so that nothing of it outlives the
// test. The toolkit deletes destroyed windows in its idle work, which the tests'
// own loop does not run.
inline void destroyWindow(wxWindow* window) {
    window->Destroy();
    runLoopFor(10);
    wxTheApp->ProcessIdle();
    ASSERT_EQ(wxTopLevelWindows.Find(window), nullptr);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new TFrm(nullptr, [this](wxWindow* parent) {
            auto made = std::make_unique<TRecordingBrowser>(parent);
            browser = made.get();
            return made;
        });
    }
    void TearDown() override {
        if (frame) destroyWindow(frame);  // a test that closed its window has none left
    }

    // Shows the window and waits until it has prepared itself.
    void show() {
        frame->Show();
        ASSERT_TRUE(runLoopUntil(
            [&] { return frame->CB->GetCount() > 0 && fromWx(frame->Label1->GetLabel()) == "Library"; }, 5000));
    }

    std::vector<std::string> captions() const { return numberCaptions(*frame); }

    TFrm* frame = nullptr;
    TRecordingBrowser* browser = nullptr;
};

}  // namespace kwirl::test

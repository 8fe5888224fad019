// SPDX-License-Identifier: MIT
// Runs GoogleTest inside an initialised toolkit: windows can be created and
// the main loop iterated by the tests themselves.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

#include "engine_rendering.h"

namespace {
class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
    // A handler's exception, as the client's application shows it: the loop goes on.
    bool OnExceptionInMainLoop() override { return true; }
};
}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The engine draws as it does in the client.
    kwirl::chooseEngineRendering();
    wxApp::SetInstance(new TestApp);
    int toolkitArgc = 1;
    if (!wxEntryStart(toolkitArgc, argv) || !wxTheApp->CallOnInit()) return 2;
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}

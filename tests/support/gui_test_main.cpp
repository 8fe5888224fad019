// Runs GoogleTest inside an initialised toolkit: windows can be created and
// the main loop iterated by the tests themselves.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
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
    // The tests iterate the main loop themselves; an active loop lets the
    // toolkit do its idle work meanwhile, such as deleting destroyed windows.
    wxGUIEventLoop loop;
    wxEventLoopActivator active(&loop);
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}

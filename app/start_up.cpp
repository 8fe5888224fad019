// SPDX-License-Identifier: MIT
// Start-up: the user's language, then the command line, read before anything
// else starts (an option answers and ends without a window), then the
// application object, its title, the main window, the message loop. The
// window's exit code is 0 in every case; a start refused because another
// process holds the client's data folder ends with 1.

#include <wx/init.h>

#include <cstdio>

#include "application.h"
#include "command_line.h"
#include "engine_shell.h"
#include "single_instance.h"
#include "toolkit_records.h"
#include "site_data.h"
#include "user_language.h"

wxIMPLEMENT_APP_NO_MAIN(kwirl::TKwirlApp);

int main(int argc, char** argv) {
    kwirl::useClientFolders();
    kwirl::useTheUsersLanguage();
    const kwirl::CommandLine line = kwirl::readCommandLine(argc, argv);
    if (line.request != kwirl::StartRequest::Window) return kwirl::answerWithoutWindow(line);
    // Only the program name is passed on: the toolkit reads no option.
    int ownArgc = argc > 0 ? 1 : 0;
    kwirl::SingleInstance instance;
    switch (instance.claim(line.address)) {
        case kwirl::SingleInstance::Start::HandedOver: return 0;
        case kwirl::SingleInstance::Start::Refused: std::fputs(kwirl::refusedStartText().c_str(), stderr); return 1;
        case kwirl::SingleInstance::Start::Alone: break;
    }
    kwirl::setUpEngineBeforeToolkit();
    const kwirl::ToolkitTraces toolkitTraces = kwirl::missingToolkitTraces();
    // The toolkit takes the application object made here instead of making one.
    wxApp::SetInstance(new kwirl::TKwirlApp(&instance, line.address));
    try {
        wxEntry(ownArgc, argv);
    } catch (...) {
    }
    // Nothing of the run is left in the player's home but the client's own folders.
    kwirl::removeToolkitTraces(toolkitTraces);
    kwirl::removeEngineLeftovers(kwirl::Leftovers::AndThisProcesses);
    return 0;
}

// SPDX-License-Identifier: MIT
// Start-up: the user's language, then the command line, read before anything
// else starts (an option answers and ends without a window), then the
// application object, its title, the main window, the message loop. The
// window's exit code is 0 in every case.

#include <wx/init.h>

#include "application.h"
#include "command_line.h"
#include "engine_shell.h"
#include "single_instance.h"
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
    if (kwirl::handOverToRunningClient()) return 0;
    kwirl::setUpEngineBeforeToolkit();
    try {
        wxEntry(ownArgc, argv);
    } catch (...) {
    }
    return 0;
}

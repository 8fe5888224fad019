// SPDX-License-Identifier: MIT
// Start-up: the user's language, the application object, its title, the main
// window, the message loop. The exit code is 0 in every case.

#include <wx/init.h>

#include "application.h"
#include "engine_shell.h"
#include "single_instance.h"
#include "user_language.h"

wxIMPLEMENT_APP_NO_MAIN(kwirl::TKwirlApp);

int main(int argc, char** argv) {
    kwirl::useTheUsersLanguage();
    // Only the program name is passed on: no option of the command line is read.
    int ownArgc = argc > 0 ? 1 : 0;
    if (kwirl::handOverToRunningClient()) return 0;
    kwirl::setUpEngineBeforeToolkit();
    try {
        wxEntry(ownArgc, argv);
    } catch (...) {
    }
    return 0;
}

#include "application.h"

#include <wx/msgdlg.h>

#include "Main.h"
#include "application_exception.h"
#include "exception_text.h"
#include "wx_text.h"

namespace kwirl {

namespace {
// The exception being handled, in a message box titled with the application
// title, with a stop icon and OK.
void showCurrentException() {
    wxMessageBox(toWx(exceptionBoxText(currentExceptionMessage())), kApplicationTitle, wxOK | wxICON_STOP);
}
}  // namespace

bool TKwirlApp::OnInit() {
    // The client takes nothing from its command line, so wx's own option
    // parsing is not run.
    SetAppName("kwirl");
    SetAppDisplayName(kApplicationTitle);
    // A failure in a network timer's handler is shown like one that escaped the loop.
    SetApplicationExceptionHandler([](std::exception_ptr failure) {
        try {
            std::rethrow_exception(failure);
        } catch (...) {
            showCurrentException();
        }
    });
    try {
        // The constructor runs the blocking catalogue fetch, so the window
        // appears only once it has ended.
        Frm = new TFrm(nullptr);
        SetTopWindow(Frm);
        Frm->Show(true);
        return true;
    } catch (...) {
        showCurrentException();
        return false;
    }
}

// An exception that escaped a handler: shown, and the loop goes on.
bool TKwirlApp::OnExceptionInMainLoop() {
    showCurrentException();
    return true;
}

void TKwirlApp::OnUnhandledException() { showCurrentException(); }

int TKwirlApp::OnExit() {
    SetApplicationExceptionHandler(nullptr);  // no message boxes once the toolkit winds down
    return 0;
}

}  // namespace kwirl

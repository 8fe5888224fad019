// SPDX-License-Identifier: MIT
#include "application.h"

#include <glib-unix.h>
#include <wx/msgdlg.h>

#include <csignal>

#include "Main.h"
#include "application_exception.h"
#include "captions.h"
#include "closes_under_dialogs.h"
#include "engine_shell.h"
#include "exception_text.h"
#include "open_dialogs.h"
#include "portal_host.h"
#include "single_instance.h"
#include "site_data.h"
#include "toolkit_records.h"
#include "trusted_certificates.h"
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
    stopRecentFilesRecord();
    // A failure in a network timer's handler is shown like one that escaped the loop.
    SetApplicationExceptionHandler([](std::exception_ptr failure) {
        try {
            std::rethrow_exception(failure);
        } catch (...) {
            showCurrentException();
        }
    });
    try {
        // Only a test copy of the client names certificates trusted besides the
        // system's store: its loopback portal's, for the portal's pages.
        trustCertificatesFor(alsoTrustedCertificates(), {nameOfHost(portalHost()), nameOfHost(portalDomain())});
        // The window appears at once; its first show starts the start page
        // and then the catalogue fetch.
        Frm = new TFrm(nullptr);
        const std::string data = clientDataFolder();
        Frm->keepWindowState(windowStateFile(), data.empty() ? std::string() : data + "/session");
        if (!address_.empty()) Frm->openAtStart(address_);
        SetTopWindow(Frm);
        Frm->Show(true);
        closeOnTerminationSignals();
        if (instance_) {
            instance_->onAnotherStart([this](const std::string& address) {
                // A second start: this window comes forward instead of a second
                // one, with the page it was given.
                if (Frm->IsIconized()) Frm->Iconize(false);
                Frm->Raise();
                Frm->RequestUserAttention();
                if (!address.empty()) Frm->openFromOutside(address);
            });
        }
        return true;
    } catch (...) {
        showCurrentException();
        return false;
    }
}

namespace {
// The window closed as its close button does, so the engine ends its processes
// and writes its stores. A dialog waiting for an answer (where to save a file)
// is answered first, as Cancel, and an open menu or list closed: the window
// would not go while they wait.
void closeAfterDialogs(wxWindow* window) {
    closeOpenDialogs();
    if (window) window->Close(true);
    // The closed window is deleted in the toolkit's idle work, which no event
    // of the toolkit's own may come to start.
    wxWakeUpIdle();
}
}  // namespace

// The end of the session, a kill or Ctrl+C in a terminal closes the window;
// so does its close button while a dialog is open, which the toolkit would drop.
void TKwirlApp::closeOnTerminationSignals() {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        g_unix_signal_add(
            signal,
            [](gpointer app) {
                closeAfterDialogs(static_cast<TKwirlApp*>(app)->GetTopWindow());
                return G_SOURCE_CONTINUE;
            },
            this);
    }
    passClosesUnderDialogs(Frm, [this] { closeAfterDialogs(GetTopWindow()); });
}

// An exception that escaped a handler: shown, and the loop goes on.
bool TKwirlApp::OnExceptionInMainLoop() {
    showCurrentException();
    return true;
}

void TKwirlApp::OnUnhandledException() { showCurrentException(); }

int TKwirlApp::OnExit() {
    SetApplicationExceptionHandler(nullptr);            // no message boxes once the toolkit winds down
    if (instance_) instance_->onAnotherStart(nullptr);  // the window is gone
    return 0;
}

}  // namespace kwirl

// SPDX-License-Identifier: MIT
#pragma once
// The application object: creates the one window and shows what escapes.

#include <wx/app.h>

namespace kwirl {

class TFrm;

class TKwirlApp : public wxApp {
public:
    bool OnInit() override;
    bool OnExceptionInMainLoop() override;
    void OnUnhandledException() override;
    int OnExit() override;

private:
    void closeOnTerminationSignals();

    TFrm* Frm = nullptr;
};

}  // namespace kwirl

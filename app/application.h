// SPDX-License-Identifier: MIT
#pragma once
// The application object: creates the one window and shows what escapes.

#include <wx/app.h>

namespace kwirl {

class TFrm;
class SingleInstance;

class TKwirlApp : public wxApp {
public:
    // `instance` is this start's claim on the session, told of later starts.
    explicit TKwirlApp(SingleInstance* instance = nullptr) : instance_(instance) {}

    bool OnInit() override;
    bool OnExceptionInMainLoop() override;
    void OnUnhandledException() override;
    int OnExit() override;

private:
    void closeOnTerminationSignals();

    TFrm* Frm = nullptr;
    SingleInstance* instance_ = nullptr;
};

}  // namespace kwirl

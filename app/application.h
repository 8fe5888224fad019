// SPDX-License-Identifier: MIT
#pragma once
// The application object: creates the one window and shows what escapes.

#include <wx/app.h>

#include <string>
#include <utility>

namespace kwirl {

class TFrm;
class SingleInstance;

class TKwirlApp : public wxApp {
public:
    // `instance` is this start's claim on the session, told of later starts;
    // `address`, when given, is the portal's page the window opens at.
    explicit TKwirlApp(SingleInstance* instance = nullptr, std::string address = {})
        : instance_(instance), address_(std::move(address)) {}

    bool OnInit() override;
    bool OnExceptionInMainLoop() override;
    void OnUnhandledException() override;
    int OnExit() override;

private:
    void closeOnTerminationSignals();

    TFrm* Frm = nullptr;
    SingleInstance* instance_ = nullptr;
    std::string address_;
};

}  // namespace kwirl

// SPDX-License-Identifier: MIT
#pragma once
// The About window: the client's version, licence, the portal it was built
// for and the web engine it runs on; and, since the client keeps the portal's
// cookies, cache and local storage, the way to forget them.

#include <wx/dialog.h>

#include <functional>

class wxButton;
class wxSizer;
class wxStaticText;

namespace kwirl {

class TAboutWindow : public wxDialog {
public:
    // `forgotten` runs once the portal's data is forgotten.
    TAboutWindow(wxWindow* parent, std::function<void()> forgotten);

private:
    void ask(bool asking);
    void forget();

    std::function<void()> forgotten_;
    wxButton* forget_ = nullptr;
    wxButton* cancel_ = nullptr;
    wxSizer* question_ = nullptr;
    wxStaticText* outcome_ = nullptr;
};

}  // namespace kwirl

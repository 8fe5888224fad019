// SPDX-License-Identifier: MIT
#include "about_window.h"

#include <wx/bmpbndl.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include <string_view>

#include "Main.h"
#include "side_window.h"
#include "addresses.h"
#include "app_icon.h"
#include "captions.h"
#include "engine_shell.h"
#include "guard.h"
#include "licence_text.h"
#include "portal_host.h"
#include "site_data.h"
#include "translate.h"
#include "wx_text.h"

namespace kwirl {

namespace {
constexpr int kGap = 12;
constexpr int kIconSize = 96;
constexpr int kTextWidth = 460;

// The licence's paragraphs, each on one line, for the box to wrap at its width.
std::string paragraphs(std::string_view text) {
    std::string joined;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool lineEnd = text[i] == '\n';
        const bool paragraphEnd = (i + 1 < text.size() && text[i + 1] == '\n') || (i > 0 && text[i - 1] == '\n');
        joined += lineEnd && !paragraphEnd ? ' ' : text[i];
    }
    return joined;
}
}  // namespace

TAboutWindow::TAboutWindow(wxWindow* parent, std::function<void()> forgotten)
    : wxDialog(parent, wxID_ANY, toWx(fillIn(tr("About %s"), std::string(kApplicationTitle)))),
      forgotten_(std::move(forgotten)) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    const auto line = [&](const std::string& text) {
        auto* label =
            new wxStaticText(this, wxID_ANY, toWx(text), wxDefaultPosition, wxDefaultSize, wxALIGN_CENTRE_HORIZONTAL);
        label->Wrap(kTextWidth);
        column->Add(label, wxSizerFlags().Centre().Border(wxLEFT | wxRIGHT | wxTOP, kGap / 2));
        return label;
    };

    const wxBitmapBundle icon = wxBitmapBundle::FromSVG(kAppIconSvg, wxSize(kIconSize, kIconSize));
    if (icon.IsOk()) column->Add(new wxStaticBitmap(this, wxID_ANY, icon), wxSizerFlags().Centre().Border(wxTOP, kGap));
    wxStaticText* title = line(kApplicationTitle);
    title->SetFont(title->GetFont().Bold().Scaled(1.4f));
    line(fillIn(tr("Version %s"), std::string(KWIRL_VERSION)));
    line(fillIn(tr("Built for the puzzle portal %s"), portalShownName()));
    line(fillIn(tr("Web engine: %s"), engineVersion()));
    if (const std::string missing = sandboxMissing(); !missing.empty()) {
        line(fillIn(tr("Web pages run without the web engine's sandbox: %s."), missing));
    }
    line(tr("Free software under the MIT licence:"));
    auto* licence = new wxTextCtrl(this, wxID_ANY, toWx(paragraphs(kLicenceText)), wxDefaultPosition,
                                   wxSize(kTextWidth, 8 * GetCharHeight()), wxTE_MULTILINE | wxTE_READONLY);
    column->Add(licence, wxSizerFlags().Expand().Border(wxALL, kGap));

    line(fillIn(tr("The portal's cookies (your login), its cache and what its pages stored are kept in %s and %s."),
                clientDataFolder(), clientCacheFolder()));
    forget_ = new wxButton(this, wxID_ANY, toWx(tr("Forget the login and site data…")));
    column->Add(forget_, wxSizerFlags().Centre().Border(wxALL, kGap / 2));
    // The confirmation, in the window itself: no second window to wait on.
    question_ = new wxBoxSizer(wxVERTICAL);
    auto* asked = new wxStaticText(this, wxID_ANY,
                                   toWx(tr("Forget the login and all site data? The portal's cookies, your login among "
                                           "them, its cache and everything its pages stored are removed. You will "
                                           "have to sign in again.")),
                                   wxDefaultPosition, wxDefaultSize, wxALIGN_CENTRE_HORIZONTAL);
    asked->Wrap(kTextWidth);
    question_->Add(asked, wxSizerFlags().Centre().Border(wxALL, kGap / 2));
    auto* answers = new wxBoxSizer(wxHORIZONTAL);
    cancel_ = new wxButton(this, wxID_ANY, toWx(tr("Cancel")));
    auto* confirm = new wxButton(this, wxID_ANY, toWx(tr("Forget")));
    answers->Add(cancel_, wxSizerFlags().Border(wxRIGHT, kGap));
    answers->Add(confirm);
    question_->Add(answers, wxSizerFlags().Centre());
    column->Add(question_, wxSizerFlags().Centre());
    column->Hide(question_);
    forget_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ask(true); });
    cancel_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ask(false); });
    confirm->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { forget(); });
    // Room for what forgetting says, so that it shows without a new layout.
    outcome_ = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, wxSize(kTextWidth, -1),
                                wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
    column->Add(outcome_, wxSizerFlags().Centre().Border(wxLEFT | wxRIGHT, kGap));

    endWithCloseButton(this, column, kGap);
}

// The question shows in place of the button, Cancel first under the keyboard.
void TAboutWindow::ask(bool asking) {
    GetSizer()->Show(forget_, !asking);
    GetSizer()->Show(question_, asking, true);
    Fit();
    Layout();
    (asking ? cancel_ : forget_)->SetFocus();
}

void TAboutWindow::forget() {
    ask(false);
    forget_->Disable();
    outcome_->SetLabel(toWx(tr("Forgetting…")));
    // The engine answers later; by then this window may be closed.
    forgetSiteData([outcome = wxWeakRef<wxStaticText>(outcome_), forgotten = forgotten_](bool everything) {
        swallowFailures("saying whether the site data are forgotten", [&] {
            if (outcome) {
                outcome->SetLabel(toWx(everything ? tr("The login and site data are forgotten.")
                                                  : tr("Not all of the site data could be forgotten.")));
            }
            if (forgotten) forgotten();
        });
    });
}

// One About window at a time, beside the main window (not modal: the game
// goes on behind it).
void TFrm::showAbout() {
    static wxWeakRef<wxDialog> open;
    // The start page follows, signed out, in a browser without history. Not
    // the page shown again, nor any page of before: that may be the answer to
    // the sign-in form, which would sign the player in anew.
    showOnlyOne(open, [this] {
        return new TAboutWindow(this, [frame = wxWeakRef<TFrm>(this)] {
            if (frame) frame->replaceBrowser();
        });
    });
}

}  // namespace kwirl

// SPDX-License-Identifier: MIT
// The line under the toolbar that says what the toolbar cannot: that the page
// shown is not the portal's (the window has no address bar, so the player
// would take any page for the portal), that web pages run without the
// engine's sandbox, and that a login will not outlive the run. It is there
// only while it has something to say.

#include <wx/settings.h>
#include <wx/sizer.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Main.h"
#include "accessible.h"
#include "addresses.h"
#include "engine_shell.h"
#include "guard.h"
#include "portal_host.h"
#include "site_of_address.h"
#include "store_check.h"
#include "translate.h"
#include "wx_text.h"

namespace kwirl {

void TFrm::createSiteNotice() {
    NoticePanel = new wxPanel(this, wxID_ANY);
    NoticePanel->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOBK));
    NoticeText = new wxStaticText(NoticePanel, wxID_ANY, wxEmptyString);
    NoticeText->SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOTEXT));
    NoticeButton = new wxButton(NoticePanel, wxID_ANY, toWx(tr("Back to the portal")), wxDefaultPosition, wxDefaultSize,
                                wxBU_EXACTFIT);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(NoticeText, wxSizerFlags(1).CenterVertical().Border(wxLEFT | wxRIGHT, 6));
    row->Add(NoticeButton, wxSizerFlags().CenterVertical().Border(wxRIGHT, 4));
    NoticePanel->SetSizer(row);
    NoticeButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        swallowFailures("going back to the portal",
                        [this] { CBW->Navigate(lastPortalPage_.empty() ? startPageAddress() : lastPortalPage_); });
    });
    NoticePanel->Hide();
    NoticeButton->Hide();
    showSiteNotice({});
}

// The view shows another page: the window names its site if it is not the
// portal's, and fetches the catalogue the start-up missed once the portal is back.
void TFrm::CBWNavigateComplete2(TCppWebBrowser*, const std::string& URL) {
    swallowFailures("naming the site of the page shown", [&] {
        const bool portal = URL == "about:blank" || isPortalSiteAddress(URL);
        if (portal && URL != "about:blank") lastPortalPage_ = URL;
        // The portal may be back after a start without its catalogue.
        if (portal && URL != "about:blank" && catalogueMissing()) scheduleCatalogueFetch();
        showSiteNotice(portal ? std::string() : hostOfAddress(URL));
    });
}

// `otherSite` is the host of the page shown when it is not the portal's.
void TFrm::showSiteNotice(const std::string& otherSite) {
    std::string text;
    if (!otherSite.empty()) {
        text = fillIn(tr("This page is not the portal's: it comes from %s."), otherSite);
    } else {
        // What holds for the whole run, one sentence after the other.
        std::vector<std::string> lasting;
        if (const std::string missing = sandboxMissing(); !missing.empty()) {
            lasting.push_back(fillIn(tr("Web pages run without the web engine's sandbox: %s."), missing));
        }
        if (const StoresNotKept& notKept = storesNotKept(); !notKept.reason.empty()) {
            lasting.push_back(fillIn(tr("A login will not be kept after the client closes: %s cannot be written "
                                        "(%s)."),
                                     notKept.folder, notKept.reason));
        }
        for (const std::string& sentence : lasting) text += (text.empty() ? "" : " ") + sentence;
    }
    const bool shown = !text.empty();
    if (fromWx(NoticeText->GetLabel()) != text) {
        NoticeText->SetLabel(toWx(text));
        setAccessibleText(NoticePanel, text, {});
    }
    NoticeButton->Show(!otherSite.empty());
    if (NoticePanel->IsShown() != shown) {
        NoticePanel->Show(shown);
        layoutControls();
    }
    NoticePanel->Layout();
}

int TFrm::siteNoticeHeight() const {
    if (!NoticePanel || !NoticePanel->IsShown()) return 0;
    return std::max(NoticePanel->GetBestSize().y, NoticeButton->GetBestSize().y + 4);
}

}  // namespace kwirl

// SPDX-License-Identifier: MIT
// The main window made: its controls, their layout, the bindings of their
// events, and the steps of its constructor.

#include "Main.h"

#include <cstdio>

#include <glib.h>
#include <wx/bmpbndl.h>
#include <wx/iconbndl.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "NMHttp.h"
#include "app_icon.h"
#include "captions.h"
#include "libraries.h"
#include "guard.h"
#include "portal_host.h"
#include "progress_preset.h"
#include "site_of_address.h"
#include "history_buttons.h"
#include "addresses.h"
#include "toolbar_buttons.h"
#include "toolbar_font.h"
#include "toolbar_style.h"
#include "translate.h"
#include "wx_text.h"

namespace kwirl {

namespace {

constexpr int kPanelHeight = 21;
constexpr int kBarWidth = 25;
// The page whose number is the widest the toolbar makes room for: "888".
constexpr std::int32_t kWidestPageShown = 887;

// The width of the row of page and number buttons at least, and where the corner button sits.
constexpr int kRowWidth = 439;
const wxPoint kCornerButtonAt(-1, 0);

}  // namespace

TFrm::TFrm(wxWindow* owner, const BrowserFactory& makeBrowser)
    : wxFrame(owner, wxID_ANY, kWindowCaption, wxDefaultPosition, wxSize(672, 640)), makeBrowser_(makeBrowser) {
    createControls(makeBrowser);
    // The catalogue's HTTP client: made with the controls, used once the window shows.
    LibLoaderNM = std::make_unique<TNMHTTP>();
    fitToolbarCaptions();
    layoutControls();
    bindEvents();
    sizeWindow();
    Centre(wxBOTH);

    // The portal's host is looked up while the window is made.
    swallowFailures("looking up the portal's host ahead", [this] { CBW->PrefetchDns(nameOfHost(portalHost())); });
}

TFrm::~TFrm() {
    if (catalogueStart_ != 0) g_source_remove(catalogueStart_);
    // The browser's window is a child of this frame and goes with it; drop the
    // handlers first so that no event reaches a half-destroyed window.
    if (CBW) unbindBrowserEvents();
}

void TFrm::unbindBrowserEvents() {
    CBW->OnBeforeNavigate2 = nullptr;
    CBW->OnNewWindow2 = nullptr;
    CBW->OnProgressChange = nullptr;
    CBW->OnHistoryNavigate = nullptr;
    CBW->OnLoadAbandoned = nullptr;
    CBW->OnNavigateComplete2 = nullptr;
    CBW->OnFileDownload = nullptr;
    CBW->OnDownloadComplete = nullptr;
}

// The engine keeps the pages of a browser's history in memory and can send a
// page's request again from it: after the portal's data is forgotten, nothing
// of before may come back by Back or Forward. A fresh browser has no history;
// it takes the old one's place, zoom and bindings, and opens the start page.
void TFrm::replaceBrowser() {
    // Nor at the next start: the list kept for it goes too.
    if (!sessionFile_.empty()) std::remove(sessionFile_.c_str());
    const double zoom = CBW->Zoom();
    const bool focused = FindFocus() && CBW->Window()->IsDescendant(FindFocus());
    unbindBrowserEvents();
    wxWindow* old = CBW->Window();
    CBW.reset();
    // The browser's window is this frame's child: it goes now, unless the browser took it along.
    if (GetChildren().Find(old)) old->Destroy();
    CBW = makeBrowser_(this);
    CBW->Window()->MoveBeforeInTabOrder(PB);
    useHomeSite();
    bindBrowserEvents();
    layoutControls();
    CBW->SetZoom(zoom);
    CBW->Navigate(startPageAddress());
    if (focused) CBW->Focus();
}

void TFrm::createControls(const BrowserFactory& makeBrowser) {
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    // The toolbar, the bars and the browser cover the whole window: its own
    // background is never seen, and painting it under every frame a page
    // draws costs the window's process a tenth of its time during play.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    // The browser first: making it starts the engine's web process, the longest
    // step before the first page appears, which then runs while the rest is made.
    CBW = makeBrowser(this);
    useHomeSite();
    setApplicationIcon();
    installCompactToolbarStyle();

    // Made in this order, which is also the keyboard's order among siblings.
    PB = new TProgressBar(this, wxPoint(0, kPanelHeight), wxSize(kBarWidth, 592));
    Panel1 = new wxPanel(this, wxID_ANY, wxPoint(0, 0), wxSize(664, kPanelHeight));
    markAsToolbar(Panel1);
    Label1 = new wxStaticText(Panel1, wxID_ANY, kLibraryLabelAtStart, wxPoint(1, 3), wxSize(34, 13));
    CB = new wxChoice(Panel1, wxID_ANY, wxPoint(36, -1), wxSize(188, 21));
    for (const std::string& name : builtInLibraryNames()) CB->Append(toWx(name));
    Panel2 = new wxPanel(Panel1, wxID_ANY, wxPoint(224, 1), wxSize(kRowWidth, kPanelHeight - 2));
    createToolbarButtons();
    makeWindowMenu();
    PBC = new TProgressBar(this, wxPoint(639, kPanelHeight), wxSize(kBarWidth, 592));
    createSiteNotice();

    // Keyboard order: the browser first, then the toolbar from left to right:
    // the corner button over the drop-down's label, the drop-down, the row, the menu.
    CBW->Window()->MoveBeforeInTabOrder(PB);
    BitBtn1->MoveBeforeInTabOrder(Label1);
}

// One font for the whole toolbar, the largest at which every caption a control
// may show fits it.
void TFrm::fitToolbarCaptions() {
    // Every caption a control may show; a page number fits up to three digits.
    const NumberCaptions shortcuts = shortcutCaptions();
    const NumberCaptions pieces = piecesCaptions();
    const NumberCaptions paging = pagingCaptions(kWidestPageShown);
    std::vector<CaptionFit> fits = {{Label1, {kLibraryLabelAtStart, kLibraryLabel}}};
    const auto rows = toolbarButtons();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto i = static_cast<std::size_t>(rows[r].number);
        fits.push_back({toolbarControls_[r], rows[r].caption
                                                 ? std::vector<std::string>{rows[r].caption}
                                                 : std::vector<std::string>{shortcuts[i], pieces[i], paging[i]}});
    }
    fitToolbarFont(this, fits);
}

// The buttons of the table, in its order: the row's laid out side by side by a
// sizer, from a pixel above Panel2's top edge; the corner button over the
// drop-down's label.
void TFrm::createToolbarButtons() {
    const NumberCaptions shortcuts = shortcutCaptions();
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    for (const ToolbarButton& b : toolbarButtons()) {
        const std::string caption = b.caption ? b.caption : shortcuts[static_cast<std::size_t>(b.number)];
        const bool inRow = b.place == ButtonPlace::Row;
        auto* button =
            new wxButton(inRow ? Panel2 : Panel1, wxID_ANY, toWx(caption), inRow ? wxDefaultPosition : kCornerButtonAt,
                         wxSize(b.width, inRow ? kRowButtonHeight : kPanelHeight), wxBU_EXACTFIT);
        toolbarControls_.push_back(button);
        if (b.control) this->*b.control = button;
        // A hint is the client's own word, in the user's language; the caption stays.
        // A hint of blanks alone would show as an empty box: no tool tip.
        if (b.hint && std::string_view(b.hint).find_first_not_of(' ') != std::string_view::npos) {
            button->SetToolTip(toWx(tr(b.hint)));
        }
        if (b.cursor != wxCURSOR_NONE) button->SetCursor(wxCursor(b.cursor));
        if (inRow) row->Add(button, wxSizerFlags().FixedMinSize().Border(wxLEFT, b.gapBefore));
    }
    Panel2->SetSizer(row);
    // The row keeps the place given here when the panel is sized; a longer row widens the panel.
    Panel2->SetAutoLayout(false);
    const int width = std::max(kRowWidth, row->GetMinSize().x);
    Panel2->SetSize(width, kPanelHeight - 2);
    row->SetDimension(wxPoint(0, kRowTop), wxSize(width, kRowButtonHeight));
}

void TFrm::bindEvents() {
    // The window is shown once; the toolkit may report that more than once
    // (on the call and again when the window is mapped).
    Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
        if (event.IsShown() && !firstShown_) {
            firstShown_ = true;
            FormShow(this);
        }
        event.Skip();
    });
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        layoutControls();
        event.Skip();
    });
    const auto rows = toolbarButtons();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const ToolbarButton& row = rows[r];
        // A named button's click is its handler; a button known only by its row opens its page.
        toolbarControls_[r]->Bind(wxEVT_BUTTON, [this, r, &row](wxCommandEvent& event) {
            if (row.click) {
                (this->*row.click)(event.GetEventObject());
            } else if (row.job == ButtonJob::Number) {
                numberButtonClick(row.number);
            } else {
                openFixedPage(r);
            }
        });
    }
    CB->Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) { CBSelect(event.GetEventObject()); });
    CB->Bind(wxEVT_KEY_DOWN, &TFrm::onTypeAhead, this);
    Bind(wxEVT_CHAR_HOOK, &TFrm::onBrowserKey, this);
    // The mouse's back and forward buttons: over the page (the browser hands
    // them on as its window's events), and over the toolbar and the bars alike.
    bindHistoryButtons(Panel1);
    bindHistoryButtons(PB);
    bindHistoryButtons(PBC);
    raiseHistoryButtons(CB);  // its native button keeps the pointer's events from the toolkit
    bindBrowserEvents();
}

void TFrm::bindBrowserEvents() {
    bindHistoryButtons(CBW->Window());
    CBW->Window()->Bind(wxEVT_MOUSEWHEEL, &TFrm::onZoomWheel, this);

    using namespace std::placeholders;
    CBW->OnBeforeNavigate2 = std::bind(&TFrm::CBWBeforeNavigate2, this, _1, _2, _3, _4, _5, _6, _7, _8);
    CBW->OnProgressChange = std::bind(&TFrm::CBWProgressChange, this, _1, _2, _3);
    CBW->OnNewWindow2 = std::bind(&TFrm::CBWNewWindow2, this, _1, _2, _3);
    CBW->OnHistoryNavigate = std::bind(&TFrm::CBWHistoryNavigate, this, _1, _2);
    CBW->OnLoadAbandoned = std::bind(&TFrm::CBWLoadAbandoned, this, _1);
    CBW->OnNavigateComplete2 = std::bind(&TFrm::CBWNavigateComplete2, this, _1, _2);
    CBW->OnFileDownload = std::bind(&TFrm::CBWFileDownload, this, _1, _2, _3, _4, _5);
    CBW->OnDownloadComplete = std::bind(&TFrm::CBWDownloadComplete, this, _1, _2, _3);
}

// The window and every control inside it. A mouse button's event reaches only
// the control under the pointer, not the panels around it.
void TFrm::bindHistoryButtons(wxWindow* window) {
    window->Bind(wxEVT_AUX1_DOWN, &TFrm::onHistoryButton, this);
    window->Bind(wxEVT_AUX2_DOWN, &TFrm::onHistoryButton, this);
    for (wxWindow* child : window->GetChildren()) bindHistoryButtons(child);
}

// The icon of the window and of its entry in the task bar, in the sizes desktops ask for.
void TFrm::setApplicationIcon() {
    const wxBitmapBundle picture = wxBitmapBundle::FromSVG(kAppIconSvg, wxSize(128, 128));
    if (!picture.IsOk()) return;
    wxIconBundle icons;
    for (const int size : {16, 24, 32, 48, 64, 128}) {
        wxIcon icon;
        icon.CopyFromBitmap(picture.GetBitmap(wxSize(size, size)));
        icons.AddIcon(icon);
    }
    SetIcons(icons);
}

// Panel1 across the top, the notice under it while shown, the bars down the
// sides, the browser in between. Everything inside Panel1 keeps its place.
void TFrm::layoutControls() {
    if (!CBW) return;
    const wxSize client = GetClientSize();
    const int notice = siteNoticeHeight();
    const int top = kPanelHeight + notice;
    const int below = std::max(0, client.y - top);
    Panel1->SetSize(0, 0, client.x, kPanelHeight);
    if (notice > 0) NoticePanel->SetSize(0, kPanelHeight, client.x, notice);
    PB->SetSize(0, top, kBarWidth, below);
    PBC->SetSize(std::max(kBarWidth, client.x - kBarWidth), top, kBarWidth, below);
    CBW->Window()->SetSize(kBarWidth, top, std::max(0, client.x - 2 * kBarWidth), below);
}

// The browser stands for the portal's site: its domain and every host under it.
void TFrm::useHomeSite() {
    CBW->SetHomeSite(hostOfAddress(portalSchemePrefix() + portalDomain()), &isPortalSiteAddress);
}

std::array<wxButton*, 6> TFrm::numberButtons() const {
    std::array<wxButton*, 6> buttons{};
    const auto rows = toolbarButtons();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].job == ButtonJob::Number)
            buttons.at(static_cast<std::size_t>(rows[r].number)) = toolbarControls_[r];
    }
    return buttons;
}

void TFrm::progressPreset(int divisor) {
    PB->SetMax(kPresetMax);
    PB->SetPosition(PB->Max() / divisor);
}

}  // namespace kwirl

// SPDX-License-Identifier: MIT
#pragma once
// The client's one window: the embedded browser framed by the library
// drop-down, the page buttons, the six number buttons and two progress bars.

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "accessible_names.h"
#include "browser_commands.h"
#include "catalogue_page.h"
#include "progress_bar.h"
#include "web_browser.h"

namespace kwirl {

// The start-up fetch's HTTP client: only the files that use it see the network.
class TNMHTTP;

class TFrm : public wxFrame {
public:
    explicit TFrm(wxWindow* owner, const BrowserFactory& makeBrowser = makeEngineBrowser);
    ~TFrm() override;

    // The controls: the browser, the toolbar (its panels, the drop-down and its
    // label, the buttons), the two bars, the catalogue fetch's HTTP client, and
    // the hidden text box that keeps the catalogue page.
    std::unique_ptr<TCppWebBrowser> CBW;
    TProgressBar* PB = nullptr;
    wxPanel* Panel1 = nullptr;
    wxChoice* CB = nullptr;
    wxStaticText* Label1 = nullptr;
    wxPanel* Panel2 = nullptr;
    wxButton* Button8 = nullptr;
    wxButton* Button6 = nullptr;
    wxButton* Button7 = nullptr;
    wxButton* Button10 = nullptr;
    wxButton* Button11 = nullptr;
    wxButton* Button12 = nullptr;
    wxButton* Button13 = nullptr;
    wxButton* Button14 = nullptr;
    wxButton* Button4 = nullptr;
    TProgressBar* PBC = nullptr;
    std::unique_ptr<TNMHTTP> LibLoaderNM;
    wxTextCtrl* Memo1 = nullptr;
    wxButton* BitBtn1 = nullptr;
    // The window's menu, at the end of the toolbar: help, about, privacy.
    wxButton* MenuButton = nullptr;

    // The current page of a paged list, 0-based.
    std::int32_t PageIndex = 0;
    // The catalogue page was fetched and parsed without a failure and was not empty.
    bool CatalogueLoaded = false;
    std::array<std::string, kMostCatalogueEntries> CatalogueNames;
    std::array<std::string, kMostCatalogueEntries> CatalogueRefs;
    std::int32_t CatalogueCount = 0;

    // Handlers, one per control event.
    void FormShow(wxObject* Sender);
    void Button8Click(wxObject* Sender);
    void Button6Click(wxObject* Sender);
    void Button4Click(wxObject* Sender);
    void BitBtn1Click(wxObject* Sender);
    void Button7Click(wxObject* Sender);
    void Button10Click(wxObject* Sender);
    void Button11Click(wxObject* Sender);
    void Button12Click(wxObject* Sender);
    void Button13Click(wxObject* Sender);
    void Button14Click(wxObject* Sender);
    void CBChange(wxObject* Sender);
    void CBSelect(wxObject* Sender);
    void CBWBeforeNavigate2(TCppWebBrowser* Sender, void* pDisp, const std::string& URL, std::int32_t Flags,
                            const std::string& TargetFrameName, const std::string& PostData, const std::string& Headers,
                            std::int16_t& Cancel);
    void CBWProgressChange(TCppWebBrowser* Sender, std::int32_t Progress, std::int32_t ProgressMax);
    void CBWNewWindow2(TCppWebBrowser* Sender, TCppWebBrowser*& ppDisp, std::int16_t& Cancel);
    void CBWHistoryNavigate(TCppWebBrowser* Sender, const std::string& URL);
    void CBWFileDownload(TCppWebBrowser* Sender, const std::string& SuggestedName, std::string& Path, bool& Replace);
    void CBWDownloadComplete(TCppWebBrowser* Sender, const std::string& Path, const std::string& Failure);

    // The six number buttons in toolbar order.
    std::array<wxButton*, 6> numberButtons() const;
    // The start-up's catalogue fetch has ended, whatever its outcome.
    bool catalogueFetchEnded() const { return catalogueFetch_ == FetchState::ended; }

private:
    void createControls(const BrowserFactory& makeBrowser);
    void createToolbarButtons();
    void setApplicationIcon();
    void bindEvents();
    void layoutControls();
    void LoadCatalogue();
    void showLibraryList();
    void onClose(wxCloseEvent& event);
    void numberButtonClick(int button);
    void openFixedPage(const wxButton* button);
    void followAddress(const std::string& address);
    void setNumberCaptions(const std::array<std::string, 6>& captions);
    void progressPreset(int divisor);
    void onTypeAhead(wxKeyEvent& event);
    void onBrowserKey(wxKeyEvent& event);
    void onHistoryButton(wxMouseEvent& event);
    void bindHistoryButtons(wxWindow* window);
    void onZoomWheel(wxMouseEvent& event);
    void runBrowserCommand(BrowserCommand command);
    void describeFixedControls();
    void describeNumberButtons();
    std::string shortcutLibraryName(std::size_t button) const;
    void makeWindowMenu();
    void showKeyboardShortcuts();
    void showAbout();

    bool firstShown_ = false;
    enum class FetchState { notStarted, running, ended };
    FetchState catalogueFetch_ = FetchState::notStarted;
    // The window was closed while the catalogue fetch waited: it goes once the wait ends.
    bool closeAfterFetch_ = false;
    unsigned catalogueStart_ = 0;  // the main loop's source that starts the fetch, while pending
    NumberMode numberMode_ = NumberMode::Shortcut;
    std::string typedPrefix_;
    long lastKeyTime_ = 0;
    int wheelTurned_ = 0;
};

// One of the window's buttons, named as a member of it (the toolbar's table
// and the tests of its buttons).
using TFrmButton = wxButton* TFrm::*;

}  // namespace kwirl

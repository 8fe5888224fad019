// SPDX-License-Identifier: MIT
#pragma once
// The client's one window: the embedded browser framed by the library
// drop-down, the page buttons, the six number buttons and two progress bars.

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/stattext.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser_commands.h"
#include "catalogue_page.h"
#include "page_state.h"
#include "progress_bar.h"
#include "web_browser.h"
#include "window_state.h"

namespace kwirl {

// The start-up fetch's HTTP client: only the files that use it see the network.
class TNMHTTP;

class TFrm : public wxFrame {
    // What the number buttons show and do, and the page index: the window
    // renders it. First, as PageIndex below names its page index.
    TPageState page_;

public:
    explicit TFrm(wxWindow* owner, const BrowserFactory& makeBrowser = makeEngineBrowser);
    ~TFrm() override;
    // The window's size and state are read from `file` now and written there
    // when it goes; the portal's last page and its back/forward list likewise
    // in `session`, where the player starts again unless they chose the start page.
    void keepWindowState(const std::string& file, const std::string& session = {});
    // The first page is `address` (a page of the portal's), not the one left off at.
    void openAtStart(const std::string& address) { startAddress_ = address; }
    // Shows `address`, a page of the portal's a later start was given.
    void openFromOutside(const std::string& address);
    // Put off while a wait of the window's own runs the main loop (see nested_wait.cpp).
    bool Destroy() override;
    // Leaving full screen goes back to maximised when the window was maximised before.
    bool ShowFullScreen(bool show, long style = wxFULLSCREEN_ALL) override;

    // The controls: the browser, the toolbar (its panels, the drop-down and its
    // label, the buttons), the two bars, and the catalogue fetch's HTTP client.
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
    wxButton* BitBtn1 = nullptr;
    // The window's menu, at the end of the toolbar: help, about, privacy.
    wxButton* MenuButton = nullptr;
    // Under the toolbar, only while shown: the page is another site's (with the
    // way back), or web pages run without the engine's sandbox.
    wxPanel* NoticePanel = nullptr;
    wxStaticText* NoticeText = nullptr;
    wxButton* NoticeButton = nullptr;

    // The current page of a paged list, 0-based.
    std::int32_t& PageIndex = page_.pageIndex;
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
    void CBWLoadAbandoned(TCppWebBrowser* Sender);
    void CBWNavigateComplete2(TCppWebBrowser* Sender, const std::string& URL);
    void CBWFileDownload(TCppWebBrowser* Sender, const std::string& SuggestedName, const std::string& Source,
                         std::string& Path, bool& Replace);
    void CBWDownloadComplete(TCppWebBrowser* Sender, const std::string& Path, const TDownloadOutcome& Outcome);

    // The six number buttons in toolbar order.
    std::array<wxButton*, 6> numberButtons() const;
    // The toolbar's buttons, one for each row of its table, in its order.
    const std::vector<wxButton*>& toolbarControls() const { return toolbarControls_; }
    // The start-up's catalogue fetch has ended, whatever its outcome.
    bool catalogueFetchEnded() const { return catalogueFetch_ == FetchState::ended; }
    // A fresh browser in place of CBW, with no history, on the start page.
    void replaceBrowser();

private:
    void createControls(const BrowserFactory& makeBrowser);
    void createToolbarButtons();
    void fitToolbarCaptions();
    void setApplicationIcon();
    void bindEvents();
    void bindBrowserEvents();
    void unbindBrowserEvents();
    void layoutControls();
    void useHomeSite();
    void createSiteNotice();
    void showSiteNotice(const std::string& otherSite);
    int siteNoticeHeight() const;
    bool LoadCatalogue();
    void scheduleCatalogueFetch();
    bool catalogueMissing() const;
    void fetchCatalogueAgain();
    void showLibraryList();
    void rememberShownPage();
    void backToShownPage();
    wxSize leastClientSize() const;
    void sizeWindow();
    void showAsLeft();
    void saveWindowState();
    // The page the player left off at, with its back/forward list, when it
    // is kept and they did not choose the start page; false: none.
    bool resumeWhereLeft();
    void chooseStartAtStartPage(bool chosen);
    template <class Wait>
    void waitInside(Wait&& wait);
    void destroyOnceUnwound();
    void numberButtonClick(int button);
    void openFixedPage(std::size_t row);
    void followAddress(const std::string& address);
    // The number buttons' captions, names and descriptions as the page state has them.
    void showPageState();
    ChosenLibrary chosenLibrary() const;
    void progressPreset(int divisor);
    void onTypeAhead(wxKeyEvent& event);
    void onBrowserKey(wxKeyEvent& event);
    void onHistoryButton(wxMouseEvent& event);
    void bindHistoryButtons(wxWindow* window);
    void onZoomWheel(wxMouseEvent& event);
    void runBrowserCommand(BrowserCommand command);
    void describeFixedControls();
    void makeWindowMenu();
    void showKeyboardShortcuts();
    void showAbout();

    BrowserFactory makeBrowser_;
    std::vector<wxButton*> toolbarControls_;
    bool firstShown_ = false;
    // Where the window's size and state are kept, if anywhere, and what was read there.
    std::string stateFile_;
    std::optional<WindowState> savedState_;
    std::string sessionFile_;
    bool startAtStartPage_ = false;
    std::string startAddress_;
    wxSize normalSize_;
    // Whether the window was maximised when it went full screen (or, after a
    // restart, when it was left full screen).
    bool maximisedUnderFullScreen_ = false;
    enum class FetchState { notStarted, running, ended };
    FetchState catalogueFetch_ = FetchState::notStarted;
    // The portal answered the catalogue's fetch after a start-up without it: it is asked for no more.
    bool catalogueFetchedAgain_ = false;
    // Waits of the window's own now on the stack, each running the main loop.
    int nestedWaits_ = 0;
    // Destroy() came while one ran: the window goes once the last has unwound.
    bool destroyAfterWaits_ = false;
    // A save dialog is open: a file offered meanwhile is not saved.
    bool saveDialogOpen_ = false;
    // Destroy() has been passed on: the window is deleted in the toolkit's idle work.
    bool destroyed_ = false;
    unsigned catalogueStart_ = 0;  // the main loop's source that starts the fetch, while pending
    // The last page of the portal shown, where the notice's button goes back to.
    std::string lastPortalPage_;
    std::string typedPrefix_;
    long lastKeyTime_ = 0;
    int wheelTurned_ = 0;
};

// One of the window's buttons, named as a member of it (the toolbar's table
// and the tests of its buttons).
using TFrmButton = wxButton* TFrm::*;
// One of the window's click handlers, named as a member of it (the toolbar's table).
using TFrmClick = void (TFrm::*)(wxObject* Sender);

}  // namespace kwirl

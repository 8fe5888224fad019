// SPDX-License-Identifier: MIT
#pragma once
// The embedded browser as the main window sees it: its operations and events,
// with what the engine does that they do not cover (a page shown again from
// the history, downloads, the site it stands for). Only browser/ knows which
// engine stands behind it.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class wxWindow;

namespace kwirl {

class TCppWebBrowser;

// Raised before every navigation, a frame's included. A non-zero Cancel left by
// the handler cancels the navigation.
using TBeforeNavigate2Event = std::function<void(
    TCppWebBrowser* Sender, void* pDisp, const std::string& URL, std::int32_t Flags, const std::string& TargetFrameName,
    const std::string& PostData, const std::string& Headers, std::int16_t& Cancel)>;
// Raised when a page asks for a new window. The handler names the browser that
// is to show the page in ppDisp; a non-zero Cancel drops the request.
using TNewWindow2Event = std::function<void(TCppWebBrowser* Sender, TCppWebBrowser*& ppDisp, std::int16_t& Cancel)>;
// Raised while a page loads: the amount loaded so far against the amount expected.
using TProgressChangeEvent =
    std::function<void(TCppWebBrowser* Sender, std::int32_t Progress, std::int32_t ProgressMax)>;

// Raised when a page is shown again from the history (back, forward, the
// engine's own gestures), and then for each of its frames: the engine restores
// them without raising BeforeNavigate2. URL is the address shown.
using THistoryNavigateEvent = std::function<void(TCppWebBrowser* Sender, const std::string& URL)>;
// Raised when the view shows another page, or the page shown changes its
// address (an anchor, its own history entry): URL is the address now shown.
using TNavigateComplete2Event = std::function<void(TCppWebBrowser* Sender, const std::string& URL)>;
// Raised when a load ends before its page came: stopped, replaced by another
// load, or turned into a download. The page shown before stays shown.
using TLoadAbandonedEvent = std::function<void(TCppWebBrowser* Sender)>;
// Raised when a page offers a file to save, from the address Source. The
// handler answers with the file to write (left empty, nothing is saved) and
// whether a file already there may be replaced (the person was asked and
// agreed). Only a file the person asked for, or the top page's own, is offered.
using TFileDownloadEvent = std::function<void(TCppWebBrowser* Sender, const std::string& SuggestedName,
                                              const std::string& Source, std::string& Path, bool& Replace)>;
// How a download ended: saved whole, dropped by the person (nothing written),
// or failed, with why in a person's words.
struct TDownloadOutcome {
    enum class End { Saved, Dropped, Failed };
    End end = End::Saved;
    std::string failure;  // only when it failed
};
// Raised when a download has ended, saved in Path or not. While it runs, its
// progress is reported as ProgressChange.
using TDownloadCompleteEvent =
    std::function<void(TCppWebBrowser* Sender, const std::string& Path, const TDownloadOutcome& Outcome)>;

class TCppWebBrowser {
public:
    virtual ~TCppWebBrowser() = default;

    // Starts loading `url`; BeforeNavigate2 is raised for it first (possibly later).
    virtual void Navigate(const std::string& url) = 0;
    // Ends the load in progress.
    virtual void Stop() = 0;
    // The address of the page now shown.
    virtual std::string LocationURL() const = 0;
    // The browser's own object, to be handed back from NewWindow2.
    virtual TCppWebBrowser* Application() = 0;
    // The toolkit window: for layout and repaint. A child of the parent it was
    // made for, it goes with the parent, or when its owner destroys it once the
    // browser is gone (a browser replaced by a fresh one).
    virtual wxWindow* Window() = 0;
    // Gives the keyboard focus to the page itself, so that keys reach it. A
    // page that has the focus already keeps it where it is inside the page.
    virtual void Focus() = 0;
    // Moves in the browser's history, and loads the page shown again.
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Reload() = 0;
    // Looks a host's name (no port) up ahead of the first page from it, so
    // that the page waits for one lookup less.
    virtual void PrefetchDns(const std::string& hostName) = 0;
    // Whether the client's own page (a load that failed, a process that ended)
    // stands in for the page shown; known once the commit's handlers have run.
    virtual bool ShowsOwnPage() const = 0;
    // The page zoom, 1.0 for 100 %; it holds for every page that follows.
    virtual double Zoom() const = 0;
    virtual void SetZoom(double level) = 0;
    // The back/forward list as it stood when the last page of the home site
    // was shown (never the client's own page standing in for one), as bytes
    // RestoreSession takes back at a later start; empty when none was shown.
    virtual std::string SessionState() const = 0;
    virtual void ForgetSessionState() = 0;
    // Takes back such a list and loads its page; false, nothing changed, when
    // the bytes are not one or its page is not the home site's.
    virtual bool RestoreSession(const std::string& state) = 0;
    // The site the browser stands for: `host` and every host under it, as
    // `onSite` tells of an address. Its pages may frame pages of other sites,
    // but only the person moves the whole view to one (a link of another site
    // they click opens in the desktop's web browser); only its pages ask for a
    // password, show dialogs, print.
    virtual void SetHomeSite(const std::string& host, std::function<bool(const std::string& address)> onSite) = 0;

    TBeforeNavigate2Event OnBeforeNavigate2;
    TNewWindow2Event OnNewWindow2;
    TProgressChangeEvent OnProgressChange;
    THistoryNavigateEvent OnHistoryNavigate;
    TNavigateComplete2Event OnNavigateComplete2;
    TLoadAbandonedEvent OnLoadAbandoned;
    TFileDownloadEvent OnFileDownload;
    TDownloadCompleteEvent OnDownloadComplete;
};

// Creates a browser as a child of `parent`.
using BrowserFactory = std::function<std::unique_ptr<TCppWebBrowser>(wxWindow* parent)>;

// The browser on the platform's engine.
std::unique_ptr<TCppWebBrowser> makeEngineBrowser(wxWindow* parent);

}  // namespace kwirl

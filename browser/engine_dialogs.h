// SPDX-License-Identifier: MIT
#pragma once
// What a page may ask of the person beyond its own content: a password for a
// site (HTTP authentication), a dialog of its script, printing. Only the home
// site's pages ask; a page's dialogs never hold the view: any command of the
// person ends the one open and quiets the rest until the next page is shown.

#include <glib.h>

#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitScriptDialog WebKitScriptDialog;
typedef struct _WebKitAuthenticationRequest WebKitAuthenticationRequest;
typedef struct _WebKitPrintOperation WebKitPrintOperation;

namespace kwirl {

class TTopPageGuard;

class TPageDialogs {
public:
    TPageDialogs(WebKitWebView* view, const TTopPageGuard& site);
    ~TPageDialogs();
    TPageDialogs(const TPageDialogs&) = delete;
    TPageDialogs& operator=(const TPageDialogs&) = delete;

    // Puts the guard of other sites' dialogs into every frame (`host` is the home site's).
    void setHomeSite(const std::string& host);
    // The person gave a command: the dialog open now goes, and none follows on this page.
    void personActs();
    // A page was shown: its dialogs may be shown again.
    void pageShown();

private:
    static gboolean onScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer self);
    static gboolean onAuthenticate(WebKitWebView*, WebKitAuthenticationRequest* request, gpointer self);
    static gboolean onPrint(WebKitWebView*, WebKitPrintOperation*, gpointer self);

    WebKitWebView* view_;
    const TTopPageGuard& site_;
    bool quiet_ = false;
};

}  // namespace kwirl

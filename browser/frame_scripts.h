// SPDX-License-Identifier: MIT
#pragma once
// The client's own scripts in every frame, and what they tell: whether a text
// field has the keyboard, and the address a frame shows. They run in a script
// world of the client's own, so no script of a page sees them, reads what they
// set, or posts to their handlers; and each handler takes only what its script
// posts, dropping (and logging) anything else.

#include <glib-object.h>

#include <functional>
#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitUserContentManager WebKitUserContentManager;
typedef struct _WebKitJavascriptResult WebKitJavascriptResult;

namespace kwirl {

// The name of the client's script world.
inline constexpr const char* kClientScriptWorld = "kwirl";

// Runs `source` in the client's world at the start of every document of every
// frame (of the top frame alone when `topFrameOnly`), and connects `handler`
// to what it posts as `message`.
void addClientScript(WebKitUserContentManager* content, const char* source, const char* message, GCallback handler,
                     gpointer data, bool topFrameOnly = false);
// Ends what addClientScript connected for `message` and `data`.
void removeClientHandler(WebKitUserContentManager* content, const char* message, gpointer data);

class TFrameScripts {
public:
    // The origin of the frame whose text field has the focus; empty when none has.
    using TextFocusChanged = std::function<void(const std::string& frameOrigin)>;
    using FrameShown = std::function<void(const std::string& address)>;

    TFrameScripts(WebKitWebView* view, TextFocusChanged textFocus, FrameShown frameShown);
    ~TFrameScripts();
    TFrameScripts(const TFrameScripts&) = delete;
    TFrameScripts& operator=(const TFrameScripts&) = delete;

private:
    static void onTextFocus(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer self);
    static void onFrameShown(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer self);

    WebKitUserContentManager* content_;
    TextFocusChanged textFocus_;
    FrameShown frameShown_;
};

}  // namespace kwirl

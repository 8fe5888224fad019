// SPDX-License-Identifier: MIT
#define G_LOG_DOMAIN "kwirl"
#include "frame_scripts.h"

#include <webkit2/webkit2.h>

#include "frame_shown_js.h"
#include "text_focus_js.h"
#include "web_address.h"

namespace kwirl {

namespace {

// Whether a text field of the page has the keyboard focus, told by every frame
// as the focus moves (scripts/text_focus.js), with the frame's address.
constexpr const char* kTextFocusMessage = "kwirlTextFocus";

// Every frame tells its own address each time it is shown, from a new load or
// from the history (scripts/frame_shown.js): a page restored from the history
// brings its frames back without asking the window first.
constexpr const char* kFrameShownMessage = "kwirlFrameShown";

// How much of a dropped message the log shows.
constexpr std::size_t kLoggedLength = 200;

void logDropped(const char* message, JSCValue* value) {
    gchar* text = jsc_value_to_string(value);
    const std::string shown = text ? std::string(text).substr(0, kLoggedLength) : std::string("(nothing)");
    g_free(text);
    g_debug("dropped a %s message that was not what it carries: %s", message, shown.c_str());
}

}  // namespace

void addClientScript(WebKitUserContentManager* content, const char* source, const char* message, GCallback handler,
                     gpointer data, bool topFrameOnly) {
    const std::string signal = std::string("script-message-received::") + message;
    g_signal_connect(content, signal.c_str(), handler, data);
    webkit_user_content_manager_register_script_message_handler_in_world(content, message, kClientScriptWorld);
    WebKitUserScript* script = webkit_user_script_new_for_world(
        source, topFrameOnly ? WEBKIT_USER_CONTENT_INJECT_TOP_FRAME : WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
        WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, kClientScriptWorld, nullptr, nullptr);
    webkit_user_content_manager_add_script(content, script);
    webkit_user_script_unref(script);
}

void removeClientHandler(WebKitUserContentManager* content, const char* message, gpointer data) {
    const std::string signal = std::string("script-message-received::") + message;
    g_signal_handlers_disconnect_matched(
        content, static_cast<GSignalMatchType>(G_SIGNAL_MATCH_ID | G_SIGNAL_MATCH_DETAIL | G_SIGNAL_MATCH_DATA),
        g_signal_lookup("script-message-received", G_OBJECT_TYPE(content)), g_quark_from_string(message), nullptr,
        nullptr, data);
    webkit_user_content_manager_unregister_script_message_handler_in_world(content, message, kClientScriptWorld);
}

TFrameScripts::TFrameScripts(WebKitWebView* view, TextFocusChanged textFocus, FrameShown frameShown)
    : content_(WEBKIT_USER_CONTENT_MANAGER(g_object_ref(webkit_web_view_get_user_content_manager(view)))),
      textFocus_(std::move(textFocus)),
      frameShown_(std::move(frameShown)) {
    addClientScript(content_, kTextFocusJs, kTextFocusMessage, G_CALLBACK(&TFrameScripts::onTextFocus), this);
    addClientScript(content_, kFrameShownJs, kFrameShownMessage, G_CALLBACK(&TFrameScripts::onFrameShown), this);
}

TFrameScripts::~TFrameScripts() {
    for (const char* message : {kTextFocusMessage, kFrameShownMessage}) removeClientHandler(content_, message, this);
    g_object_unref(content_);
}

// False, or the origin of the frame whose text field has the focus.
void TFrameScripts::onTextFocus(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer self) {
    JSCValue* value = webkit_javascript_result_get_js_value(result);
    const auto& textFocus = static_cast<TFrameScripts*>(self)->textFocus_;
    if (jsc_value_is_boolean(value) && !jsc_value_to_boolean(value)) return textFocus("");
    if (!jsc_value_is_string(value)) return logDropped(kTextFocusMessage, value);
    gchar* text = jsc_value_to_string(value);
    textFocus(text ? text : "");
    g_free(text);
}

// A web address, nothing else: a frame's own location.
void TFrameScripts::onFrameShown(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer self) {
    JSCValue* value = webkit_javascript_result_get_js_value(result);
    if (!jsc_value_is_string(value)) return logDropped(kFrameShownMessage, value);
    gchar* text = jsc_value_to_string(value);
    const std::string address = text ? text : "";
    g_free(text);
    if (!isWebAddress(address)) return logDropped(kFrameShownMessage, value);
    static_cast<TFrameScripts*>(self)->frameShown_(address);
}

}  // namespace kwirl

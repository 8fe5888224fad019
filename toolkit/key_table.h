// SPDX-License-Identifier: MIT
#pragma once
// Every key the client answers, one row each: the window's key handling, the
// page's (which keys the window takes before the page sees them) and the list
// of keys (F1) all read this table, and the user documents' lists are written from it.

#include <span>
#include <string_view>

namespace kwirl {

// What a key does. The browser commands work wherever the keyboard focus is;
// the last two are the library drop-down's own.
enum class BrowserCommand {
    None,
    Back,
    Forward,
    Reload,
    Escape,
    ZoomIn,
    ZoomOut,
    ZoomReset,
    FullScreen,
    KeyboardShortcuts,
    ChooseLibrary,  // the drop-down's native keys, answered by the control itself
    OpenLibraryAgain
};

// Where a key works, one heading each in the list of keys, in this order.
enum class KeyScope { Anywhere, DropDown };
inline constexpr KeyScope kKeyScopes[] = {KeyScope::Anywhere, KeyScope::DropDown};

// One line of the list of keys: the keys and what they do, both in English,
// shown in the user's language.
struct KeyLine {
    KeyScope scope;
    const char* keys;
    const char* action;
};

struct KeyRow {
    int keyCode;    // the toolkit's key code
    int modifiers;  // the toolkit's modifier flags held with it, Shift left out
    BrowserCommand command;
    // The key as the user documents write it; empty for another key of the
    // same command they do not name (the keypad's, a keyboard's media keys).
    std::string_view name;
    std::size_t line;  // its line in the list of keys
    // The window takes it before the page sees it, as the page would take it
    // for itself (Alt+Left scrolls a page); in a text field it stays the page's.
    bool beforePage;
};

std::span<const KeyRow> keyRows();
std::span<const KeyLine> keyLines();

// The heading of a scope's part of the list of keys, in English (shown in the
// user's language).
const char* keyScopeHeading(KeyScope scope);

// The command of a key (a toolkit key code) pressed with `modifiers` (the
// toolkit's modifier flags), wherever the keyboard focus is; None for every
// other key. Shift is left out: on many keyboards "+" is typed with it.
BrowserCommand browserCommandForKey(int keyCode, int modifiers);

// The drop-down's command of a key, or None.
BrowserCommand dropDownCommandForKey(int keyCode, int modifiers);

// Whether the window takes a key of the page before the page sees it; the
// key as the native toolkit reports it to the page (a GDK keyval and state).
bool isKeyBeforePage(unsigned keyval, unsigned state);

}  // namespace kwirl

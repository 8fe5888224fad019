// SPDX-License-Identifier: MIT
#include "key_table.h"

#include <wx/defs.h>

#include <array>
#include <iterator>

#include "translatable.h"

namespace kwirl {

namespace {

using C = BrowserCommand;
using enum KeyScope;

// The lines of the list of keys, in its order; kCount is none, but how many.
enum Line : std::size_t { kHistory, kReload, kEscape, kZoom, kFullScreen, kList, kChoose, kAgain, kCount };

struct TaggedLine {
    Line line;
    KeyLine text;
};

// Each line at its place, every one once: a line the enum names but the list
// does not, or twice, does not compile.
template <std::size_t N>
constexpr std::array<KeyLine, kCount> inLineOrder(const TaggedLine (&tagged)[N]) {
    static_assert(N == kCount, "every line of the list of keys once");
    std::array<KeyLine, kCount> lines{};
    std::array<bool, kCount> placed{};
    for (const TaggedLine& each : tagged) {
        if (placed[each.line]) throw "a line of the list of keys twice";
        placed[each.line] = true;
        lines[each.line] = each.text;
    }
    return lines;
}

constexpr TaggedLine kTaggedLines[] = {
    {kHistory,
     {Anywhere, translatable("Alt+Left, Alt+Right, the mouse's back and forward buttons"),
      translatable("back and forward")}},
    {kReload, {Anywhere, translatable("F5, Ctrl+R"), translatable("load the page again")}},
    {kEscape, {Anywhere, translatable("Esc"), translatable("stop loading (in full screen: leave it)")}},
    {kZoom,
     {Anywhere, translatable("Ctrl+plus, Ctrl+minus, Ctrl+0, Ctrl and the mouse wheel"),
      translatable("zoom the page (50 to 300 per cent, kept for the next start)")}},
    {kFullScreen,
     {Anywhere, translatable("F11"),
      translatable("full screen for the puzzle: the title bar and borders go, the toolbar stays")}},
    {kList, {Anywhere, translatable("F1"), translatable("this list of keys")}},
    {kChoose,
     {DropDown, translatable("Up, Down, the beginning of an entry typed"),
      translatable("choose a library and open it")}},
    {kAgain, {DropDown, translatable("Backspace"), translatable("open the chosen library again")}},
};
constexpr auto kLines = inLineOrder(kTaggedLines);

constexpr const char* kScopeHeadings[] = {
    translatable("Wherever the keyboard focus is"),
    translatable("In the library drop-down"),
};
static_assert(std::size(kScopeHeadings) == static_cast<std::size_t>(KeyScope::DropDown) + 1,
              "every scope has its heading");

constexpr bool kBefore = true;

constexpr auto kRows = std::to_array<KeyRow>({
    {WXK_LEFT, wxMOD_ALT, C::Back, "Alt+Left", kHistory, kBefore},
    {WXK_NUMPAD_LEFT, wxMOD_ALT, C::Back, "", kHistory, kBefore},
    {WXK_BROWSER_BACK, wxMOD_NONE, C::Back, "", kHistory, kBefore},
    {WXK_RIGHT, wxMOD_ALT, C::Forward, "Alt+Right", kHistory, kBefore},
    {WXK_NUMPAD_RIGHT, wxMOD_ALT, C::Forward, "", kHistory, kBefore},
    {WXK_BROWSER_FORWARD, wxMOD_NONE, C::Forward, "", kHistory, kBefore},
    {WXK_F5, wxMOD_NONE, C::Reload, "F5", kReload, false},
    {'R', wxMOD_CONTROL, C::Reload, "Ctrl+R", kReload, false},
    {WXK_BROWSER_REFRESH, wxMOD_NONE, C::Reload, "", kReload, false},
    {WXK_ESCAPE, wxMOD_NONE, C::Escape, "Esc", kEscape, false},
    {WXK_BROWSER_STOP, wxMOD_NONE, C::Escape, "", kEscape, false},
    {'+', wxMOD_CONTROL, C::ZoomIn, "Ctrl+plus", kZoom, false},
    {'=', wxMOD_CONTROL, C::ZoomIn, "", kZoom, false},  // "+" where it needs Shift
    {WXK_NUMPAD_ADD, wxMOD_CONTROL, C::ZoomIn, "", kZoom, false},
    {'-', wxMOD_CONTROL, C::ZoomOut, "Ctrl+minus", kZoom, false},
    {WXK_NUMPAD_SUBTRACT, wxMOD_CONTROL, C::ZoomOut, "", kZoom, false},
    {'0', wxMOD_CONTROL, C::ZoomReset, "Ctrl+0", kZoom, false},
    {WXK_NUMPAD0, wxMOD_CONTROL, C::ZoomReset, "", kZoom, false},
    {WXK_F11, wxMOD_NONE, C::FullScreen, "F11", kFullScreen, false},
    {WXK_F1, wxMOD_NONE, C::KeyboardShortcuts, "F1", kList, false},
    {WXK_UP, wxMOD_NONE, C::ChooseLibrary, "Up", kChoose, false},
    {WXK_DOWN, wxMOD_NONE, C::ChooseLibrary, "Down", kChoose, false},
    {WXK_BACK, wxMOD_NONE, C::OpenLibraryAgain, "Backspace", kAgain, false},
});

constexpr bool linesInRange() {
    for (const KeyRow& row : kRows) {
        if (row.line >= kLines.size()) return false;
    }
    return true;
}
static_assert(linesInRange(), "every key has its line in the list of keys");

BrowserCommand commandIn(KeyScope scope, int keyCode, int modifiers) {
    const int held = modifiers & ~wxMOD_SHIFT;
    for (const KeyRow& row : kRows) {
        if (kLines[row.line].scope == scope && row.keyCode == keyCode && row.modifiers == held) return row.command;
    }
    return C::None;
}

}  // namespace

std::span<const KeyRow> keyRows() { return kRows; }
std::span<const KeyLine> keyLines() { return kLines; }

const char* keyScopeHeading(KeyScope scope) { return kScopeHeadings[static_cast<std::size_t>(scope)]; }

BrowserCommand browserCommandForKey(int keyCode, int modifiers) { return commandIn(Anywhere, keyCode, modifiers); }

BrowserCommand dropDownCommandForKey(int keyCode, int modifiers) { return commandIn(DropDown, keyCode, modifiers); }

}  // namespace kwirl

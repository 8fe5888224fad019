// SPDX-License-Identifier: MIT
// The keys of the page as the native toolkit reports them, read against the
// key table: which the window takes before the page sees them.

#include <gdk/gdk.h>
#include <gtk/gtk.h>
#include <wx/defs.h>

#include <array>

#include "key_table.h"

namespace kwirl {

namespace {

struct NamedKey {
    guint keyval;
    int keyCode;
};

// The keys without a character, in the toolkit's codes.
constexpr auto kKeysWithoutCharacter = std::to_array<NamedKey>({
    {GDK_KEY_Left, WXK_LEFT},
    {GDK_KEY_Right, WXK_RIGHT},
    {GDK_KEY_Up, WXK_UP},
    {GDK_KEY_Down, WXK_DOWN},
    {GDK_KEY_KP_Left, WXK_NUMPAD_LEFT},
    {GDK_KEY_KP_Right, WXK_NUMPAD_RIGHT},
    {GDK_KEY_KP_Add, WXK_NUMPAD_ADD},
    {GDK_KEY_KP_Subtract, WXK_NUMPAD_SUBTRACT},
    {GDK_KEY_KP_0, WXK_NUMPAD0},
    {GDK_KEY_KP_Insert, WXK_NUMPAD0},
    {GDK_KEY_Back, WXK_BROWSER_BACK},
    {GDK_KEY_Forward, WXK_BROWSER_FORWARD},
    {GDK_KEY_Refresh, WXK_BROWSER_REFRESH},
    {GDK_KEY_Stop, WXK_BROWSER_STOP},
    {GDK_KEY_Escape, WXK_ESCAPE},
    {GDK_KEY_BackSpace, WXK_BACK},
    {GDK_KEY_F1, WXK_F1},
    {GDK_KEY_F5, WXK_F5},
    {GDK_KEY_F11, WXK_F11},
});

int keyCodeOf(guint keyval) {
    for (const NamedKey& key : kKeysWithoutCharacter) {
        if (key.keyval == keyval) return key.keyCode;
    }
    // A character key: the toolkit codes a letter by its capital.
    const gunichar character = gdk_keyval_to_unicode(gdk_keyval_to_upper(keyval));
    return character >= ' ' && character < 0x7f ? static_cast<int>(character) : WXK_NONE;
}

int modifiersOf(guint state) {
    const guint held = state & static_cast<guint>(gtk_accelerator_get_default_mod_mask());
    int modifiers = wxMOD_NONE;
    if (held & GDK_MOD1_MASK) modifiers |= wxMOD_ALT;
    if (held & GDK_CONTROL_MASK) modifiers |= wxMOD_CONTROL;
    if (held & GDK_SHIFT_MASK) modifiers |= wxMOD_SHIFT;
    if (held & (GDK_SUPER_MASK | GDK_META_MASK)) modifiers |= wxMOD_META;
    return modifiers;
}

}  // namespace

bool isKeyBeforePage(unsigned keyval, unsigned state) {
    const int keyCode = keyCodeOf(keyval);
    const int modifiers = modifiersOf(state);
    for (const KeyRow& row : keyRows()) {
        if (row.beforePage && row.keyCode == keyCode && row.modifiers == (modifiers & ~wxMOD_SHIFT)) return true;
    }
    return false;
}

}  // namespace kwirl

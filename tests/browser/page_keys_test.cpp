// SPDX-License-Identifier: MIT
// The keys the window takes from the page before the page sees them, as the
// native toolkit reports them to the page.

#include <webkit2/webkit2.h>  // the view and the key names of its toolkit
#include <gtest/gtest.h>

#include "key_table.h"

namespace kwirl {
namespace {

TEST(PageKeys, OnlyTheHistoryKeysAreTakenBeforeThePage) {
    const struct {
        guint keyval;
        guint state;
        bool taken;
    } cases[] = {
        {GDK_KEY_Left, GDK_MOD1_MASK, true},
        {GDK_KEY_Right, GDK_MOD1_MASK, true},
        {GDK_KEY_KP_Left, GDK_MOD1_MASK, true},
        {GDK_KEY_KP_Right, GDK_MOD1_MASK | GDK_MOD2_MASK, true},  // Num Lock on
        {GDK_KEY_Back, 0, true},
        {GDK_KEY_Forward, 0, true},
        {GDK_KEY_Left, 0, false},  // the page's own: it scrolls
        {GDK_KEY_Left, GDK_MOD1_MASK | GDK_CONTROL_MASK, false},
        {GDK_KEY_Up, GDK_MOD1_MASK, false},
        {GDK_KEY_F5, 0, false},  // the window's, but after the page
        {GDK_KEY_r, GDK_CONTROL_MASK, false},
        {GDK_KEY_BackSpace, 0, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isKeyBeforePage(c.keyval, c.state), c.taken) << gdk_keyval_name(c.keyval) << " with " << c.state;
    }
}

}  // namespace
}  // namespace kwirl

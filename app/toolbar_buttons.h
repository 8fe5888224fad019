// SPDX-License-Identifier: MIT
#pragma once
// The toolbar's buttons described once: the window's creation, the font
// fitting, the event bindings and FormShow all walk this table.

#include <wx/cursor.h>

#include <span>
#include <string>

#include "Main.h"

namespace kwirl {

// Where a button sits: in the row of page and number buttons (Panel2), or at
// the left corner of the toolbar (Panel1), over the drop-down's label.
enum class ButtonPlace { Row, Corner };

struct ToolbarButton {
    TFrmButton control;
    void (TFrm::*click)(wxObject*);
    // Its fixed caption; none for a number button, whose captions follow the page shown.
    const char* caption;
    // The portal page it opens, for a page button.
    std::string (*address)();
    int width;
    ButtonPlace place;
    // Room left of it in the row.
    int gapBefore;
    const char* hint;      // none: no hint
    wxStockCursor cursor;  // wxCURSOR_NONE: the toolkit's own
    int number;            // a number button's place among the six, else -1
    // What a page button does, for screen readers, looked up in the user's
    // language (its caption is its name); none for a number button, whose
    // names follow its captions.
    const char* description;
};

// Every button, in the toolbar's order, which is also the order of creation
// and of the keyboard.
std::span<const ToolbarButton> toolbarButtons();

// The row's buttons are 20 pixels high and start a pixel above their panel;
// the corner button is as high as the toolbar.
inline constexpr int kRowButtonHeight = 20;
inline constexpr int kRowTop = -1;

}  // namespace kwirl

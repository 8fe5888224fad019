// SPDX-License-Identifier: MIT
#pragma once
// The toolbar's buttons, one row each: the window's creation, the font
// fitting, the event bindings, the names for screen readers and FormShow all
// walk this table. A button that opens a fixed portal page is nothing but its
// row.

#include <wx/cursor.h>

#include <cstddef>
#include <span>
#include <string_view>

#include "Main.h"

namespace kwirl {

// Where a button sits: in the row of page and number buttons (Panel2), or at
// the left corner of the toolbar (Panel1), over the drop-down's label.
enum class ButtonPlace { Row, Corner };

// What a button does when clicked.
enum class ButtonJob { OpenPage, Number };

struct ToolbarButton {
    ButtonJob job;
    // The window's member that names it, for the buttons the window names
    // (Button8 …); none for a button known only by its row.
    TFrmButton control;
    // Its fixed caption; none for a number button, whose captions follow the page shown.
    const char* caption;
    // The portal page it opens, by its page name; an empty name is the home page.
    std::string_view page;
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
    // The window's handler its click runs, for the buttons the window names
    // (Button8Click …); a button known only by its row opens its page.
    TFrmClick click;
};

// Every button, in the toolbar's order, which is also the order of creation
// and of the keyboard.
std::span<const ToolbarButton> toolbarButtons();

// The place in the table of the button the window names `control`.
std::size_t toolbarRowOf(TFrmButton control);

// The address a page button opens.
std::string pageButtonAddress(const ToolbarButton& row);

// The row's buttons are 20 pixels high and start a pixel above their panel;
// the corner button is as high as the toolbar.
inline constexpr int kRowButtonHeight = 20;
inline constexpr int kRowTop = -1;

}  // namespace kwirl

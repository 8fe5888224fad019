// SPDX-License-Identifier: MIT
#include "captions.h"

namespace kwirl {

NumberCaptions shortcutCaptions() { return {"1", "2", "3", "4", "5", "6"}; }

NumberCaptions piecesCaptions() { return {"4", "16", "36", "64", "100", "144"}; }

NumberCaptions pagingCaptions(std::int32_t pageIndex) {
    return {"|<", "<<", "<", pageNumberCaption(pageIndex), ">", ">>"};
}

std::string pageNumberCaption(std::int32_t pageIndex) {
    return std::to_string(static_cast<std::int64_t>(pageIndex) + 1);
}

}  // namespace kwirl

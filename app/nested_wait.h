// SPDX-License-Identifier: MIT
#pragma once
// A wait that runs the main loop from inside the window's own code (the
// catalogue fetch, a modal dialog) has the window, its HTTP client and their
// sockets on the stack. The loop it runs dispatches everything, the toolkit's
// idle work too, which deletes a destroyed window: so while such a wait runs,
// Destroy() only hides the window and cuts the waits short, and the window is
// destroyed once the last of them has unwound. Every way to end the window
// (Destroy(), Close(), a signal, the end of the session) comes through Destroy().

#include "Main.h"

namespace kwirl {

template <class Wait>
void TFrm::waitInside(Wait&& wait) {
    ++nestedWaits_;
    try {
        wait();
    } catch (...) {
        --nestedWaits_;
        destroyOnceUnwound();
        throw;
    }
    --nestedWaits_;
    destroyOnceUnwound();
}

}  // namespace kwirl

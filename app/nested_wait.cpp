// SPDX-License-Identifier: MIT
#include "nested_wait.h"

#include "NMHttp.h"
#include "guard.h"
#include "open_dialogs.h"

namespace kwirl {

bool TFrm::Destroy() {
    if (destroyed_) return true;
    if (!destroyAfterWaits_) saveWindowState();  // as the person left it, before it is hidden
    if (nestedWaits_ == 0) {
        destroyed_ = true;
        return wxFrame::Destroy();
    }
    // Gone from the screen at once; the waits end as soon as they can.
    destroyAfterWaits_ = true;
    Hide();
    swallowFailures("cutting the catalogue fetch short", [this] { LibLoaderNM->Abort(); });
    closeOpenDialogs();
    return true;
}

void TFrm::destroyOnceUnwound() {
    if (nestedWaits_ > 0 || !destroyAfterWaits_ || destroyed_) return;
    destroyed_ = true;  // its state was kept when Destroy() first came
    wxFrame::Destroy();
}

}  // namespace kwirl

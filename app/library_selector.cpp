// SPDX-License-Identifier: MIT
#include <wx/time.h>

#include "Main.h"
#include "addresses.h"
#include "catalogue_entry.h"
#include "guard.h"
#include "libraries.h"
#include "message_pump.h"
#include "progress_preset.h"
#include "wx_text.h"

namespace kwirl {

namespace {
// Letters typed within this time of each other make one prefix.
constexpr long kTypeAheadPauseMs = 1000;
}  // namespace

// Opens the list page of the library chosen in the drop-down, at the offset of
// the page shown last.
void TFrm::CBChange(wxObject*) {
    swallowFailures("opening the library chosen in the drop-down", [this] {
        const int item = CB->GetSelection();
        if (hasCatalogueEntry(CatalogueLoaded, CatalogueCount, item)) {
            swallowFailures("opening a catalogue library's list", [&] {
                const auto next = appendPageOffset(CatalogueRefs[static_cast<std::size_t>(item)], PageIndex);
                CBW->Navigate(next);
                PageIndex = 0;
            });
        } else {
            progressPreset(kClickPresetDivisor);
            const auto& libraries = builtInLibraries();
            for (int position = 0; position < kBuiltInLibraryCount; ++position) {
                if (CB->GetSelection() != position) continue;
                const SelectorEntry& entry = libraries[static_cast<std::size_t>(position)].selector;
                swallowFailures("opening a built-in library's list", [&] {
                    const auto next = appendPageOffset(selectorAddress(entry), PageIndex);
                    if (entry.stopFirst) CBW->Stop();
                    CBW->Navigate(next);
                    if (entry.resetPageIndex) PageIndex = 0;
                });
            }
        }
        dispatchPendingMessages();
    });
}

void TFrm::CBSelect(wxObject*) { CBChange(this); }

// The drop-down's keyboard: Backspace opens the selected library again, and
// typed letters select the first entry that begins with them.
void TFrm::onTypeAhead(wxKeyEvent& event) {
    if (dropDownCommandForKey(event.GetKeyCode(), event.GetModifiers()) == BrowserCommand::OpenLibraryAgain) {
        CBChange(CB);
        return;
    }
    const wxChar typed = event.GetUnicodeKey();
    // Shift is how some keyboards type digits; only Ctrl, Alt and Meta make a
    // key a command rather than a letter.
    if (typed == WXK_NONE || typed < ' ' || event.ControlDown() || event.AltDown() || event.MetaDown()) {
        event.Skip();
        return;
    }
    const long now = static_cast<long>(wxGetLocalTimeMillis().GetValue());
    if (now - lastKeyTime_ > kTypeAheadPauseMs) typedPrefix_.clear();
    lastKeyTime_ = now;
    typedPrefix_ += fromWx(wxString(typed).Lower());

    for (unsigned int item = 0; item < CB->GetCount(); ++item) {
        if (!fromWx(CB->GetString(item).Lower()).starts_with(typedPrefix_)) continue;
        if (static_cast<int>(item) != CB->GetSelection()) {
            CB->SetSelection(static_cast<int>(item));
            CBSelect(CB);
        }
        return;
    }
}

}  // namespace kwirl

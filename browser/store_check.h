// SPDX-License-Identifier: MIT
#pragma once
// The engine's SQLite stores (cookies, the sites that asked for HTTPS) are
// checked before the engine opens them: one cut short or corrupted by a crash
// while it was written is set aside, so that the client starts and keeps new
// data, instead of the engine failing on it quietly for good.

#include <optional>
#include <string>

namespace kwirl {

// Whether the file is an SQLite database that reads back whole once a crash's
// unfinished write is rolled back. A missing file counts as healthy (the engine
// makes a new one), and so does one SQLite cannot check now (in use, or not
// writable): only a store known to be damaged is moved.
bool isHealthyStore(const std::string& path);

// Moves a store that is not healthy out of the way (beside it, with
// ".set-aside-" and the time added, and a number when a store set aside
// earlier has that name: none is ever replaced) and returns where it went;
// nothing when the store is healthy or cannot be moved.
std::optional<std::string> setAsideIfBroken(const std::string& path);

// Why the stores cannot be kept in `folder` across runs (it cannot be made, a
// file cannot be written in it, or `store`, if there, cannot be written), in
// the user's language; empty when they can. Nothing is left behind.
std::string whyStoresNotKept(const std::string& folder, const std::string& store);

// What was found when the engine's stores were set up, for the window to
// tell: the folder and why, or empty while the stores are kept.
struct StoresNotKept {
    std::string folder;
    std::string reason;
};
void noteStoresNotKept(StoresNotKept found);
const StoresNotKept& storesNotKept();

}  // namespace kwirl

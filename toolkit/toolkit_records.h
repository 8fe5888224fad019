// SPDX-License-Identifier: MIT
#pragma once
// What the toolkit would keep of the player's doings in the home folder: the
// file chooser's list of recent files, its settings (through GSettings, into
// the user's settings database) and the folder it makes to read a list of
// servers from. The client keeps none of it past its run.

#include <string>
#include <vector>

namespace kwirl {

// Once the toolkit runs: what the file chooser records of this program in the
// player's list of recent files is taken out again as soon as it is there.
void stopRecentFilesRecord();

// What the toolkit may make in the player's home during the run that is not
// there now: the folders of the user's configuration folder the file chooser
// makes to read its lists of places from, and the list of recent files it
// writes when there is none. As the client ends, what is still empty of the
// player's own goes (removeToolkitTraces).
struct ToolkitTraces {
    std::vector<std::string> folders;  // innermost last
    std::string recentFiles;           // empty when the list was there before
};
ToolkitTraces missingToolkitTraces();
void removeToolkitTraces(const ToolkitTraces& traces);

}  // namespace kwirl

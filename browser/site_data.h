// SPDX-License-Identifier: MIT
#pragma once
// Where the engine keeps what the portal stored in the client (cookies, a
// login among them; the cache; local storage), and forgetting it without the
// engine, for a start that opens no window.

#include <string>
#include <vector>

namespace kwirl {

// The name the client's folders are made of, whatever its binary is called.
inline constexpr const char* kClientFolderName = "kwirl";

// Has the engine keep its folders under that name: it names them after the
// program (GLib's program name), which otherwise follows the binary's file
// name. First thing in main, before anything reads the program name.
void useClientFolders();

// The engine's data folder (cookies, local storage, databases) and its cache
// folder, and the folder of the window's size and state: the client's own
// folders in the user's XDG base directories.
std::string clientDataFolder();
std::string clientCacheFolder();
std::string clientStateFolder();

// Makes `folder` private to the player, 0700: made so when it is missing (and
// any base directory missing above it), narrowed to it when it is there with
// a wider mode. What is above it is never changed, nor a symbolic link's
// target. Throws std::runtime_error, naming the folder, when it cannot be made
// private (a symbolic link among them).
void makePrivateFolder(const std::string& folder);

// The client's data, cache and state folders made private before the engine
// writes in them (it would make them open to every user, its files with them).
// Returns what failed, a line each; the other folders are made all the same.
std::vector<std::string> makeClientFoldersPrivate();

// What removing the client's folders did: the folders removed, and for each
// one that could not be, why (the folder named), in the order tried.
struct FolderRemoval {
    std::vector<std::string> removed;
    std::vector<std::string> failures;
};

// Removes the client's data and cache folders and everything in them, each
// whatever became of the other. `lastInData` names a file of the data folder
// removed after everything else in it (a lock the caller holds), and the
// data folder itself goes only if nothing new came into it meanwhile. A base
// directory that is not an absolute path is a failure: it names nothing of the user's.
FolderRemoval removeClientFolders(const std::string& lastInData);

// Removes what the engine's sandbox leaves for each page process it starts in
// the user's runtime folder (the cache folder without one): ".flatpak/webkit-PID-N",
// of processes that no longer run, and of this one as it ends. Failures are passed over.
enum class Leftovers { OfEndedProcesses, AndThisProcesses };
void removeEngineLeftovers(Leftovers which);

// Removes the cookie stores set aside after a crash (they hold an older login)
// from the data folder; failures are passed over.
void removeSetAsideStores();

}  // namespace kwirl

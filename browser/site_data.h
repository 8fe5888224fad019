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
// folder: the client's own folders in the user's XDG base directories.
std::string clientDataFolder();
std::string clientCacheFolder();

// Removes the client's data and cache folders and everything in them; the
// folders that were removed. Throws std::runtime_error, naming the folder,
// when one cannot be removed or the base directory is not an absolute path.
std::vector<std::string> removeClientFolders();

// Removes the cookie stores set aside after a crash (they hold an older login)
// from the data folder; failures are passed over.
void removeSetAsideStores();

}  // namespace kwirl

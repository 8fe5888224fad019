// SPDX-License-Identifier: MIT
#include "site_data.h"

#include <glib.h>

#include <filesystem>
#include <stdexcept>

namespace kwirl {

namespace {

// A folder of the client's inside one of the user's base directories. A
// relative base (a variable set by mistake) names nothing of the user's.
std::string clientFolderIn(const gchar* base) {
    if (!base || !g_path_is_absolute(base)) return {};
    return (std::filesystem::path(base) / kClientFolderName).string();
}

}  // namespace

void useClientFolders() { g_set_prgname(kClientFolderName); }

std::string clientDataFolder() { return clientFolderIn(g_get_user_data_dir()); }
std::string clientCacheFolder() { return clientFolderIn(g_get_user_cache_dir()); }

std::vector<std::string> removeClientFolders() {
    std::vector<std::string> removed;
    for (const std::string& folder : {clientDataFolder(), clientCacheFolder()}) {
        if (folder.empty()) throw std::runtime_error("the user's data or cache directory is not an absolute path");
        std::error_code error;
        // A folder that is a symbolic link loses the link, never what it points to.
        const auto count = std::filesystem::remove_all(folder, error);
        if (error) throw std::runtime_error(folder + ": " + error.message());
        if (count > 0) removed.push_back(folder);
    }
    return removed;
}

void removeSetAsideStores() {
    const std::string folder = clientDataFolder();
    std::error_code error;
    if (folder.empty() || !std::filesystem::is_directory(folder, error)) return;
    std::vector<std::filesystem::path> aside;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().filename().string().find(".set-aside-") != std::string::npos) aside.push_back(entry.path());
    }
    for (const auto& path : aside) std::filesystem::remove(path, error);
}

}  // namespace kwirl

// SPDX-License-Identifier: MIT
#include "site_data.h"

#include <glib.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace kwirl {

namespace {

// A folder of the client's inside one of the user's base directories. A
// relative base (a variable set by mistake) names nothing of the user's.
std::string clientFolderIn(const gchar* base) {
    if (!base || !g_path_is_absolute(base)) return {};
    return (std::filesystem::path(base) / kClientFolderName).string();
}

// The process a page process's leftover folder ("webkit-PID-N") was made for.
std::optional<long> leftoverOwner(const std::string& name) {
    constexpr std::string_view kPrefix = "webkit-";
    if (!name.starts_with(kPrefix)) return std::nullopt;
    const std::string rest = name.substr(kPrefix.size());
    const auto dash = rest.find('-');
    if (dash == 0 || dash == std::string::npos || dash + 1 == rest.size()) return std::nullopt;
    const auto digits = [](std::string_view text) {
        return text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (!digits(std::string_view(rest).substr(0, dash)) || !digits(std::string_view(rest).substr(dash + 1)) ||
        dash > 9) {
        return std::nullopt;
    }
    return std::stol(rest.substr(0, dash));
}

bool processRuns(long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

}  // namespace

void useClientFolders() { g_set_prgname(kClientFolderName); }

std::string clientDataFolder() { return clientFolderIn(g_get_user_data_dir()); }
std::string clientCacheFolder() { return clientFolderIn(g_get_user_cache_dir()); }
std::string clientStateFolder() { return clientFolderIn(g_get_user_state_dir()); }

void makePrivateFolder(const std::string& folder) {
    const auto failure = [&folder](const char* what) {
        return std::runtime_error(folder + ": " + (what ? what : std::strerror(errno)));
    };
    if (g_mkdir_with_parents(folder.c_str(), S_IRWXU) != 0) throw failure(nullptr);
    // The folder itself, never what a link in its place points to.
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) throw failure(errno == ELOOP ? "a symbolic link, left as it is" : nullptr);
    struct stat status = {};
    const bool narrowed = ::fstat(descriptor, &status) == 0 &&
                          ((status.st_mode & 07777) == S_IRWXU || ::fchmod(descriptor, S_IRWXU) == 0);
    const int error = errno;
    ::close(descriptor);
    errno = error;
    if (!narrowed) throw failure(nullptr);
}

std::vector<std::string> makeClientFoldersPrivate() {
    std::vector<std::string> failures;
    for (const std::string& folder : {clientDataFolder(), clientCacheFolder(), clientStateFolder()}) {
        if (folder.empty()) continue;  // no base directory of the user's: nothing is kept there
        try {
            makePrivateFolder(folder);
        } catch (const std::exception& failure) {
            failures.emplace_back(failure.what());
        }
    }
    return failures;
}

FolderRemoval removeClientFolders(const std::string& lastInData) {
    FolderRemoval outcome;
    const auto tryRemoving = [&outcome](const std::string& folder, const char* base, const std::string& last) {
        if (folder.empty()) {
            outcome.failures.push_back(std::string("the user's ") + base + " directory is not an absolute path");
            return;
        }
        namespace fs = std::filesystem;
        std::error_code error;
        const fs::file_status status = fs::symlink_status(folder, error);
        if (!fs::exists(status)) return;
        // A folder that is a symbolic link loses the link, never what it points to.
        if (last.empty() || !fs::is_directory(status)) {
            fs::remove_all(folder, error);
        } else {
            for (const auto& entry : fs::directory_iterator(folder, error)) {
                if (entry.path().filename() != last) fs::remove_all(entry.path(), error);
                if (error) break;
            }
            if (!error) fs::remove(fs::path(folder) / last, error);
            if (!error) {
                fs::remove(folder, error);
                // A lock file a client starting now has made stays, and its folder with it.
                if (error == std::errc::directory_not_empty) error.clear();
            }
        }
        if (error) {
            outcome.failures.push_back(folder + ": " + error.message());
        } else {
            outcome.removed.push_back(folder);
        }
    };
    tryRemoving(clientDataFolder(), "data", lastInData);
    tryRemoving(clientCacheFolder(), "cache", {});
    removeEngineLeftovers(Leftovers::OfEndedProcesses);
    return outcome;
}

void removeEngineLeftovers(Leftovers which) {
    const gchar* runtime = g_get_user_runtime_dir();
    if (!runtime || !g_path_is_absolute(runtime)) return;
    const std::filesystem::path folder = std::filesystem::path(runtime) / ".flatpak";
    std::error_code error;
    std::vector<std::filesystem::path> ended;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const auto pid = leftoverOwner(entry.path().filename().string());
        if (pid && ((which == Leftovers::AndThisProcesses && *pid == ::getpid()) || !processRuns(*pid))) {
            ended.push_back(entry.path());
        }
    }
    for (const auto& path : ended) std::filesystem::remove_all(path, error);
    std::filesystem::remove(folder, error);  // only when nothing else is in it
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

// SPDX-License-Identifier: MIT
#define G_LOG_DOMAIN "kwirl"
#include "engine_network_process.h"

#include <dirent.h>
#include <glib-unix.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace kwirl {

namespace {

constexpr std::string_view kNetworkProgram = "WebKitNetworkProcess";

std::string commandOf(int pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/cmdline");
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

int parentOf(int pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(file, line);
    // The name in brackets may hold anything, spaces and brackets too: the fields follow its last bracket.
    const auto close = line.rfind(')');
    if (close == std::string::npos || close + 4 > line.size()) return 0;
    return std::atoi(line.c_str() + close + 4);  // ") S PPID"
}

// The engine's network process itself, not the sandbox that starts it (whose
// command line names the program too).
bool isNetworkProcess(int pid) {
    const std::string command = commandOf(pid);
    const std::string program = command.substr(0, command.find('\0'));
    return program.size() >= kNetworkProgram.size() &&
           program.compare(program.size() - kNetworkProgram.size(), kNetworkProgram.size(), kNetworkProgram) == 0;
}

// Whether the process's main thread has ended: the process is ending, while
// its other threads may still be on their way out. The engine can have seen
// its end by then, before the process's own descriptor tells it.
bool mainThreadEnded(int pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(file, line);
    const auto close = line.rfind(')');
    if (close == std::string::npos || close + 2 >= line.size()) return true;
    const char state = line[close + 2];
    return state == 'Z' || state == 'X' || commandOf(pid).empty();
}

bool descendsFrom(int pid, int ancestor) {
    for (int depth = 0; pid > 1 && depth < 16; ++depth) {
        pid = parentOf(pid);
        if (pid == ancestor) return true;
    }
    return false;
}

std::vector<int> networkProcesses() {
    std::vector<int> found;
    DIR* proc = opendir("/proc");
    if (!proc) return found;
    const int self = getpid();
    while (const dirent* entry = readdir(proc)) {
        const std::string_view name = entry->d_name;
        if (name.empty() || name.find_first_not_of("0123456789") != std::string_view::npos) continue;
        const int pid = std::atoi(entry->d_name);
        if (isNetworkProcess(pid) && descendsFrom(pid, self)) found.push_back(pid);
    }
    closedir(proc);
    return found;
}

}  // namespace

TNetworkProcessWatch::TNetworkProcessWatch(std::function<void(int)> ended) : ended_(std::move(ended)) {}

TNetworkProcessWatch::~TNetworkProcessWatch() {
    for (const Watched& each : watched_) {
        g_source_remove(each.source);
        close(each.fd);
    }
}

int TNetworkProcessWatch::current() {
    const std::vector<int> running = networkProcesses();
    if (running.size() != 1) return 0;
    const int pid = running.front();
    if (std::any_of(watched_.begin(), watched_.end(), [&](const Watched& each) { return each.pid == pid; })) return pid;
    const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0) {
        g_debug("the engine's network process %d cannot be watched: %s", pid, g_strerror(errno));
        return 0;
    }
    // The number may have gone to another process between the look and the open.
    if (!isNetworkProcess(pid)) {
        close(fd);
        return 0;
    }
    watched_.push_back({pid, fd, g_unix_fd_add(fd, G_IO_IN, &TNetworkProcessWatch::onEnded, this)});
    return pid;
}

void TNetworkProcessWatch::noticeEnded() {
    std::vector<int> ended;
    for (const Watched& each : watched_) {
        pollfd ready = {each.fd, POLLIN, 0};
        if (poll(&ready, 1, 0) == 1 || mainThreadEnded(each.pid)) ended.push_back(each.fd);
    }
    for (const int fd : ended) {
        const auto found =
            std::find_if(watched_.begin(), watched_.end(), [&](const Watched& each) { return each.fd == fd; });
        if (found == watched_.end()) continue;
        g_source_remove(found->source);
        onEnded(fd, G_IO_IN, this);
    }
}

gboolean TNetworkProcessWatch::onEnded(gint fd, GIOCondition, gpointer self) {
    auto* watch = static_cast<TNetworkProcessWatch*>(self);
    const auto found = std::find_if(watch->watched_.begin(), watch->watched_.end(),
                                    [&](const Watched& each) { return each.fd == fd; });
    if (found == watch->watched_.end()) return G_SOURCE_REMOVE;
    const int pid = found->pid;
    close(fd);
    watch->watched_.erase(found);
    g_debug("the engine's network process %d ended", pid);
    watch->ended_(pid);
    return G_SOURCE_REMOVE;
}

}  // namespace kwirl

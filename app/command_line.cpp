// SPDX-License-Identifier: MIT
#include "command_line.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string_view>

#include "captions.h"
#include "data_folder_lock.h"
#include "engine_shell.h"
#include "portal_host.h"
#include "site_of_address.h"
#include "url_parts.h"
#include "ascii.h"
#include "site_data.h"
#include "translate.h"

namespace kwirl {

namespace {

constexpr int kMistakeStatus = 2;
constexpr int kFailureStatus = 1;
// An address longer than this is no link a person was given.
constexpr std::size_t kMostAddressBytes = 8192;

// A server as an address names it: a host, and a port of digits if any; no
// name and password before it, nothing else in it.
bool isPlainServer(std::string_view server) {
    if (server.empty() || server.find_first_of("@\\ ") != std::string_view::npos) return false;
    const auto colon = server.rfind(':');
    if (colon == std::string_view::npos || server.back() == ']') return true;
    const std::string_view port = server.substr(colon + 1);
    return !port.empty() && port.size() <= 5 && port.find_first_not_of("0123456789") == std::string_view::npos;
}

// A page of the portal's own, as a link from a mail or a friend names it.
bool isPortalPageToOpen(const std::string& address) {
    if (address.size() > kMostAddressBytes || holdsControlCharacter(address)) return false;
    const std::string scheme = lowerAscii(address.substr(0, address.find(':')));
    if ((scheme != "http" && scheme != "https") || address.compare(scheme.size(), 3, "://") != 0) return false;
    const std::string_view rest = std::string_view(address).substr(scheme.size() + 3);
    return isPlainServer(rest.substr(0, rest.find_first_of("/?#"))) && isPortalSiteAddress(address);
}

// An address as a message shows it: its start only, if it is long.
std::string shownAddress(const std::string& address) {
    constexpr std::size_t kShown = 200;
    return address.size() > kShown ? address.substr(0, kShown) + "..." : address;
}

std::string helpText() {
    return fillIn(tr("Usage: kwirl [OPTION | ADDRESS]\n"
                     "%s: the jigsaw-puzzle portal %s in a window of its own.\n"
                     "Without an option the window opens; press F1 in it for its keys.\n"
                     "With the address of one of the portal's pages, the window shows that page\n"
                     "(the window already open, if there is one).\n"
                     "\n"
                     "  --forget   forget the login and everything the portal stored (cookies,\n"
                     "             cache, local storage) without opening the window\n"
                     "  --help     show this help and end\n"
                     "  --version  show the version and end\n"),
                  std::string(kApplicationTitle), portalHost());
}

std::string versionText() {
    return fillIn(tr("kwirl %s\n"
                     "Built for the portal %s; web engine %s.\n"
                     "Copyright (c) 2026 The Kwirl developers. Free software under the MIT licence.\n"),
                  std::string(KWIRL_VERSION), portalShownName(), engineVersion());
}

// Written whole, or a failure (a full disk, a closed pipe).
int print(const std::string& text) {
    const bool written = std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
    return written ? 0 : kFailureStatus;
}

// Without the engine (it needs a display): the client's own data and cache
// folders go whole, and the next start is a first start. Never while a client
// holds the data folder, from whatever session or shell it was started.
int forgetWithoutWindow() {
    DataFolderLock lock;
    try {
        const std::string data = clientDataFolder();
        std::error_code error;
        if (!data.empty() && std::filesystem::is_directory(data, error) && !lock.take(data, false)) {
            std::fputs(
                tr("kwirl: the client is running; close its window first, or forget from its About window\n").c_str(),
                stderr);
            return kFailureStatus;
        }
    } catch (const std::exception& failure) {
        std::fputs(fillIn(tr("kwirl: could not forget everything: %s\n"), std::string(failure.what())).c_str(), stderr);
        return kFailureStatus;
    }
    const FolderRemoval outcome = removeClientFolders(kDataFolderLockName);
    std::string report;
    for (const auto& folder : outcome.removed) report += fillIn(tr("removed %s\n"), folder);
    if (outcome.failures.empty()) return print(outcome.removed.empty() ? tr("nothing to forget\n") : report);
    // What went is said as well as what stayed: a login removed is forgotten.
    print(report);
    for (const auto& failure : outcome.failures) {
        std::fputs(fillIn(tr("kwirl: could not forget everything: %s\n"), failure).c_str(), stderr);
    }
    return kFailureStatus;
}

}  // namespace

CommandLine readCommandLine(int argc, const char* const* argv) {
    if (argc <= 1) return {};
    if (argc > 2) return {StartRequest::Mistake, tr("one option at a time"), {}};
    const std::string_view option = argv[1];
    if (option == "--help" || option == "-h") return {StartRequest::Help, {}, {}};
    if (option == "--version") return {StartRequest::Version, {}, {}};
    if (option == "--forget") return {StartRequest::Forget, {}, {}};
    if (!option.starts_with("-")) {
        const std::string address(option);
        if (isPortalPageToOpen(address)) return {StartRequest::Window, {}, address};
        return {StartRequest::Mistake,
                fillIn(tr("'%s' is no page of the portal: only its http and https addresses (%s) are opened"),
                       shownAddress(address), portalDomain()),
                {}};
    }
    return {StartRequest::Mistake, fillIn(tr("unknown option '%s'"), std::string(option)), {}};
}

int answerWithoutWindow(const CommandLine& line) {
    switch (line.request) {
        case StartRequest::Help: return print(helpText());
        case StartRequest::Version: return print(versionText());
        case StartRequest::Forget: return forgetWithoutWindow();
        case StartRequest::Mistake:
            std::fputs(fillIn(tr("kwirl: %s\nTry 'kwirl --help' for the options.\n"), line.mistake).c_str(), stderr);
            return kMistakeStatus;
        case StartRequest::Window: break;
    }
    return 0;
}

}  // namespace kwirl

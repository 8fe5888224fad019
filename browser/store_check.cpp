// SPDX-License-Identifier: MIT
#include "store_check.h"

#include <fcntl.h>
#include <glib.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>

#include "move_without_replacing.h"

namespace kwirl {

namespace {

// What SQLite answers for a file that is not a whole database.
bool meansDamaged(int code) { return code == SQLITE_CORRUPT || code == SQLITE_NOTADB; }

// A store set aside earlier holds an older login: no later one takes its name.
constexpr int kMostNamesTried = 1000;

// Moves `from` to `name`, or to `name` with "-2", "-3" … added when that is
// taken; where it went, or nothing when it could not be moved.
std::optional<std::string> moveToFreeName(const std::string& from, const std::string& name) {
    for (int n = 1; n <= kMostNamesTried; ++n) {
        const std::string to = n == 1 ? name : name + "-" + std::to_string(n);
        if (moveWithoutReplacing(from, to)) return to;
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

bool isHealthyStore(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return true;
    sqlite3* db = nullptr;
    // Opened for writing, as the engine opens it: a journal left by a crash in
    // the middle of a write is rolled back first, which gives the store back as
    // it was at its last commit.
    int code = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    bool healthy = true;
    sqlite3_stmt* check = nullptr;
    if (code == SQLITE_OK) code = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &check, nullptr);
    // Reads every page of the file: a file cut short or overwritten fails.
    if (code == SQLITE_OK) code = sqlite3_step(check);
    if (code == SQLITE_ROW) {
        const auto* answer = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
        healthy = answer && std::string(answer) == "ok";
    } else {
        // A store in use by another program, or one that cannot be written,
        // is not known to be damaged: it stays where it is.
        healthy = !meansDamaged(code);
    }
    sqlite3_finalize(check);
    sqlite3_close(db);
    return healthy;
}

std::optional<std::string> setAsideIfBroken(const std::string& path) {
    if (isHealthyStore(path)) return std::nullopt;
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    const std::string base = path + ".set-aside-" + stamp;
    const auto aside = moveToFreeName(path, base);
    if (!aside) return std::nullopt;  // left where it is: the engine copes with it as it can
    // The database's journal belongs to the file set aside.
    for (const char* companion : {"-journal", "-wal", "-shm"}) {
        std::error_code error;
        if (std::filesystem::exists(path + companion, error)) moveToFreeName(path + companion, *aside + companion);
    }
    return aside;
}

// A file made, written and removed at once: a read-only file system, a folder
// of another owner or a full disk all fail here, before the engine's first
// write fails where nobody sees it.
std::string whyStoresNotKept(const std::string& folder, const std::string& store) {
    const auto failure = [] { return std::string(g_strerror(errno)); };
    if (g_mkdir_with_parents(folder.c_str(), 0700) != 0) return failure();
    std::string probe = folder + "/.write-check-XXXXXX";
    const int written = g_mkstemp_full(probe.data(), O_RDWR | O_CLOEXEC, 0600);
    if (written < 0) return failure();
    const bool wrote = ::write(written, "k", 1) == 1 && ::fsync(written) == 0;
    const std::string why = wrote ? std::string() : failure();
    ::close(written);
    ::unlink(probe.c_str());
    if (!why.empty()) return why;
    const std::string path = folder + "/" + store;
    const int kept = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (kept >= 0) {
        ::close(kept);
    } else if (errno != ENOENT) {
        return failure();
    }
    return {};
}

namespace {
StoresNotKept& notKept() {
    static StoresNotKept found;
    return found;
}
}  // namespace

void noteStoresNotKept(StoresNotKept found) { notKept() = std::move(found); }
const StoresNotKept& storesNotKept() { return notKept(); }

}  // namespace kwirl

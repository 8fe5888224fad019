// SPDX-License-Identifier: MIT
#include "store_check.h"

#include <sqlite3.h>

#include <ctime>
#include <filesystem>

namespace kwirl {

bool isHealthyStore(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return true;
    sqlite3* db = nullptr;
    bool healthy = false;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* check = nullptr;
        // Reads every page of the file: a file cut short or overwritten fails.
        if (sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &check, nullptr) == SQLITE_OK &&
            sqlite3_step(check) == SQLITE_ROW) {
            const auto* answer = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
            healthy = answer && std::string(answer) == "ok";
        }
        sqlite3_finalize(check);
    }
    sqlite3_close(db);
    return healthy;
}

std::optional<std::string> setAsideIfBroken(const std::string& path) {
    if (isHealthyStore(path)) return std::nullopt;
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    const std::string aside = path + ".set-aside-" + stamp;
    std::error_code error;
    std::filesystem::rename(path, aside, error);
    if (error) return std::nullopt;  // left where it is: the engine copes with it as it can
    // The database's journal belongs to the file set aside.
    for (const char* companion : {"-journal", "-wal", "-shm"}) {
        std::filesystem::rename(path + companion, aside + companion, error);
    }
    return aside;
}

}  // namespace kwirl

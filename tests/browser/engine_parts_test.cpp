// SPDX-License-Identifier: MIT
// What the engine's set-up decides without the engine: which stores are
// healthy, and which socket files a bus address names.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "bus_address.h"
#include "store_check.h"

namespace kwirl {
namespace {

namespace fs = std::filesystem;

class StoreCheck : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("kwirl-stores-" + std::to_string(getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // A database with a table of enough rows to span several pages.
    std::string database(const std::string& name) {
        const std::string path = (folder_ / name).string();
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, "CREATE TABLE cookies(name TEXT, value TEXT);", nullptr, nullptr, nullptr);
        for (int i = 0; i < 200; ++i) {
            const std::string row =
                "INSERT INTO cookies VALUES('player" + std::to_string(i) + "', '" + std::string(100, 'x') + "');";
            sqlite3_exec(db, row.c_str(), nullptr, nullptr, nullptr);
        }
        sqlite3_close(db);
        return path;
    }

    fs::path folder_;
};

TEST_F(StoreCheck, HealthyMissingCutShortAndOverwrittenStores) {
    const std::string healthy = database("healthy.sqlite");
    EXPECT_TRUE(isHealthyStore(healthy));
    EXPECT_TRUE(isHealthyStore((folder_ / "none.sqlite").string()));
    EXPECT_FALSE(setAsideIfBroken(healthy).has_value());
    EXPECT_TRUE(fs::exists(healthy));

    const std::string cut = database("cut.sqlite");
    fs::resize_file(cut, fs::file_size(cut) / 2);  // a crash while it was written
    const std::string garbage = (folder_ / "garbage.sqlite").string();
    std::ofstream(garbage) << std::string(5000, '\x7f');
    for (const std::string& broken : {cut, garbage}) {
        SCOPED_TRACE(broken);
        EXPECT_FALSE(isHealthyStore(broken));
        const auto aside = setAsideIfBroken(broken);
        ASSERT_TRUE(aside.has_value());
        EXPECT_FALSE(fs::exists(broken));
        EXPECT_TRUE(fs::exists(*aside));
        EXPECT_EQ(aside->rfind(broken + ".set-aside-", 0), 0u);
    }

    // Crash after crash in one second: every store set aside is kept, none replaced.
    std::set<std::string> asides;
    for (int crash = 0; crash < 3; ++crash) {
        std::ofstream(garbage) << "crash " << crash << std::string(5000, '\x7f');
        const auto aside = setAsideIfBroken(garbage);
        ASSERT_TRUE(aside.has_value());
        asides.insert(*aside);
        std::ifstream kept(*aside);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}).substr(0, 7), "crash " + std::to_string(crash));
    }
    EXPECT_EQ(asides.size(), 3u);
    for (const auto& aside : asides) EXPECT_TRUE(fs::exists(aside)) << aside;
}

// A crash in the middle of a write leaves the database beside its journal: a
// store the engine recovers on opening it, not a damaged one.
TEST_F(StoreCheck, AStoreLeftInTheMiddleOfAWriteIsKeptWithItsLastCommittedRows) {
    const std::string store = database("crashed.sqlite");
    const std::string crashed = (folder_ / "crashed-copy.sqlite").string();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(store.c_str(), &db), SQLITE_OK);
    // A small cache makes the writer spill changed pages into the file before the commit.
    sqlite3_exec(db, "PRAGMA cache_size=1; BEGIN; UPDATE cookies SET value = 'half-written';", nullptr, nullptr,
                 nullptr);
    ASSERT_TRUE(fs::exists(store + "-journal"));
    // The files as a crash at this moment leaves them, without the writer's lock.
    fs::copy_file(store, crashed);
    fs::copy_file(store + "-journal", crashed + "-journal");
    sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(db);

    EXPECT_TRUE(isHealthyStore(crashed));
    EXPECT_FALSE(setAsideIfBroken(crashed).has_value());
    ASSERT_EQ(sqlite3_open(crashed.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* count = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM cookies WHERE value != 'half-written'", -1, &count, nullptr);
    ASSERT_EQ(sqlite3_step(count), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(count, 0), 200);
    sqlite3_finalize(count);
    sqlite3_close(db);
}

TEST(BusAddress, TheSocketFilesOfEachUnixEntry) {
    using Paths = std::vector<std::string>;
    EXPECT_EQ(socketPathsOf("unix:path=/run/user/0/bus"), Paths{"/run/user/0/bus"});
    EXPECT_EQ(socketPathsOf("unix:path=/tmp/a,guid=123;unix:abstract=/tmp/b;tcp:host=x,port=1;unix:guid=9,path=/tmp/c"),
              (Paths{"/tmp/a", "/tmp/c"}));
    EXPECT_EQ(socketPathsOf("unix:abstract=/tmp/dbus-x,guid=1"), Paths{});
    EXPECT_EQ(socketPathsOf(""), Paths{});
    EXPECT_EQ(socketPathsOf(";;unix:path="), Paths{""});
}

TEST(BusAddress, AnAddressNamesAMissingSocketWhenOneOfItsFilesIsGone) {
    const fs::path socket = fs::temp_directory_path() / ("kwirl-bus-" + std::to_string(getpid()));
    std::ofstream(socket).put('\0');
    const std::string present = "unix:path=" + socket.string();
    const std::string gone = "unix:path=" + socket.string() + "-gone";
    const struct {
        std::string address;
        bool missing;
    } cases[] = {
        {present, false},
        {gone, true},
        {present + ";" + gone, true},
        {"unix:abstract=/tmp/dbus-x;tcp:host=localhost,port=1", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(namesAMissingSocket(c.address), c.missing) << c.address;
    fs::remove(socket);
}

}  // namespace
}  // namespace kwirl
